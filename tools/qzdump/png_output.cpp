// The PNG file of a picture: stb's writer encodes it into memory-sized pieces handed to our own
// file, so a failed write or close is noticed.
#include "tools/qzdump/png_output.h"

#include <cstdio>
#include <cstdlib>

namespace {

// stb checks what its malloc gives but grows its buffers without checking realloc's result, and
// would write through a null pointer: running out of memory there ends the program instead.
[[gnu::returns_nonnull]] void* GrowOrAbort(void* block, size_t size) {
  void* grown = std::realloc(block, size);
  if (grown == nullptr) std::abort();
  return grown;
}

}  // namespace

#define STBIW_MALLOC(size) std::malloc(size)
#define STBIW_REALLOC(block, size) GrowOrAbort(block, size)
#define STBIW_FREE(block) std::free(block)
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace {

void WritePiece(void* context, void* data, int size) {
  if (size > 0) std::fwrite(data, 1, static_cast<size_t>(size), static_cast<std::FILE*>(context));
}

}  // namespace

bool WritePng(const Picture& picture, const char* path) {
  std::FILE* out = std::fopen(path, "wb");
  if (out == nullptr) return false;
  const bool encoded = stbi_write_png_to_func(WritePiece, out, picture.size, picture.size, 3,
                                              picture.rgb.data(), 3 * picture.size) != 0;
  const bool ok = encoded && std::ferror(out) == 0;
  return std::fclose(out) == 0 && ok;
}
