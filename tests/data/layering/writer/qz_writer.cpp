// A public header of another layer is allowed; a private one and the tests' support are not.
#include "reader/model.h"
#include "reader/tokenizer.h"
#include "tests/support/test_support.h"
