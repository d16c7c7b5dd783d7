// Within one layer, and beside the file: allowed.
#include "reader/tokenizer.h"
#include "numbers.h"
