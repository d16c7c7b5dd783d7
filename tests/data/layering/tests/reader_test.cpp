// Any header of a layer, public or not, and of tests/ is allowed; one of fuzz/ is not.
#include "fuzz/fuzz_target.h"
#include "reader/tokenizer.h"
#include "tests/support/test_support.h"
#include "writer/normals.h"
