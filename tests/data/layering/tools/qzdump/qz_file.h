// A public header of another layer: allowed.
#include "writer/qz_format.h"
