// Writes a picture as a PNG file (8-bit RGB) through stb's image writer.
#pragma once

#include "tools/qzdump/rasterise.h"

// False when the file cannot be created or written in full.
bool WritePng(const Picture& picture, const char* path);
