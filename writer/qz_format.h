// The QZ model file, declared once: a 48-byte header, a 60-byte entry per object, a 168-byte
// record per face and a 16-byte slot per texture number, concatenated in that order with no gaps.
// All values are little-endian; the records are written by copying these structs, which the
// static assertions pin to the file's byte layout on the little-endian hosts this program targets.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "reader/model.h"

static_assert(std::endian::native == std::endian::little,
              "records are copied as they lie in memory");

inline constexpr uint8_t kQzMagic[4] = {'Q', 'Z', 'F', 0};
inline constexpr uint32_t kQzVersion = 0x200;
inline constexpr uint32_t kQzTrailerWord = 2;

struct QzHeader {
  uint8_t magic[4];
  uint32_t version;  // 0x200
  uint32_t objectTableSize;
  uint32_t objectTableOffset;  // 48
  uint32_t faceDataSize;
  uint32_t faceDataOffset;
  uint32_t textureTableSize;
  uint32_t textureTableOffset;
  uint32_t trailer;  // 2
  uint32_t zero[3];
};
static_assert(sizeof(QzHeader) == 48);
static_assert(offsetof(QzHeader, objectTableSize) == 8 && offsetof(QzHeader, faceDataSize) == 16);
static_assert(offsetof(QzHeader, textureTableOffset) == 28 && offsetof(QzHeader, trailer) == 32);

struct QzObjectEntry {
  uint8_t zero[32];
  float one[4];        // 1.0 each
  uint16_t flag;       // 1
  uint16_t faceCount;  // number of face records, low 16 bits
  uint32_t firstFace;  // face records of the entries before this one
  uint16_t zero2;
  uint16_t next;  // this entry's index + 1, or 0 for the last
};
static_assert(sizeof(QzObjectEntry) == 60);
static_assert(offsetof(QzObjectEntry, one) == 32 && offsetof(QzObjectEntry, flag) == 48);
static_assert(offsetof(QzObjectEntry, faceCount) == 50 && offsetof(QzObjectEntry, firstFace) == 52);
static_assert(offsetof(QzObjectEntry, zero2) == 56 && offsetof(QzObjectEntry, next) == 58);

struct QzFaceRecord {
  Vec4 positions[4];
  Vec4 normals[4];
  float uvs[4][2];
  uint32_t colour;  // 65536 R + 256 G + B: bytes B, G, R, 0 for components in 0..1
  int16_t texture;  // -1 for none
  uint16_t zero;
};
static_assert(sizeof(Vec4) == 16 && offsetof(Vec4, w) == 12);
static_assert(sizeof(QzFaceRecord) == 168);
static_assert(offsetof(QzFaceRecord, normals) == 64 && offsetof(QzFaceRecord, uvs) == 128);
static_assert(offsetof(QzFaceRecord, colour) == 160 && offsetof(QzFaceRecord, texture) == 164);
static_assert(offsetof(QzFaceRecord, zero) == 166);

inline constexpr size_t kQzTextureSlotSize = 16;

// A face of k corners takes one record up to four corners, and one more per two corners after:
// (c0 c1 c2 c3), (c0 c3 c4 c5), ...
inline uint64_t QzRecordsOf(const Face& face) {
  return face.vertexCount <= 4 ? 1 : 1 + static_cast<uint64_t>(face.vertexCount - 3) / 2;
}
