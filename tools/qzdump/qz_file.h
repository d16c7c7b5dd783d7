// Reads a QZ model file back, checking it as it goes: the magic, every table's size and offset
// against the file's length, and each object entry's face range. Safe on untrusted input: a
// malformed or truncated file gives false and a one-line reason, never a read past its end.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "writer/qz_format.h"

struct QzObjectRange {
  QzObjectEntry entry;
  uint64_t records;  // the real count, of which entry.faceCount holds the low 16 bits
};

struct QzFile {
  QzHeader header;
  std::vector<QzObjectRange> objects;
  std::vector<QzFaceRecord> faces;
  std::vector<std::array<uint8_t, kQzTextureSlotSize>> textures;
};

bool ParseQz(const uint8_t* data, size_t size, QzFile& file, std::string& error);

// A texture slot's name: its bytes up to the first zero.
std::string TextureSlotName(const std::array<uint8_t, kQzTextureSlotSize>& slot);
