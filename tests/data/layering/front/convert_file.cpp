// A header of no layer: not allowed.
#include "elsewhere/helper.h"
#include "writer/qz_writer.h"
