// Public headers and the testing support are allowed; a private header is not.
#include "reader/model.h"
#include "tests/support/test_support.h"
#include "writer/normals.h"
