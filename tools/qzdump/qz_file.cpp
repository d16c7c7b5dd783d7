// QZ file parsing and validation.
#include "tools/qzdump/qz_file.h"

#include <cstring>

namespace {

// The table [offset, offset + length) lies inside the file and holds whole records.
bool TableFits(uint64_t offset, uint64_t length, size_t recordSize, size_t fileSize,
               const char* name, std::string& error) {
  if (offset > fileSize || length > fileSize - offset) {
    error = std::string(name) + " runs past the end of the file";
    return false;
  }
  if (length % recordSize != 0) {
    error = std::string(name) + " size is not a multiple of " + std::to_string(recordSize);
    return false;
  }
  return true;
}

}  // namespace

bool ParseQz(const uint8_t* data, size_t size, QzFile& file, std::string& error) {
  file = QzFile{};
  if (size < sizeof(QzHeader)) {
    error = "file is shorter than the 48-byte header";
    return false;
  }
  std::memcpy(&file.header, data, sizeof(QzHeader));
  const QzHeader& h = file.header;
  if (std::memcmp(h.magic, kQzMagic, sizeof kQzMagic) != 0) {
    error = "not a QZ file (magic is not \"QZF\")";
    return false;
  }
  if (!TableFits(h.objectTableOffset, h.objectTableSize, sizeof(QzObjectEntry), size,
                 "object table", error) ||
      !TableFits(h.faceDataOffset, h.faceDataSize, sizeof(QzFaceRecord), size, "face data",
                 error) ||
      !TableFits(h.textureTableOffset, h.textureTableSize, kQzTextureSlotSize, size,
                 "texture table", error)) {
    return false;
  }

  const size_t objectCount = h.objectTableSize / sizeof(QzObjectEntry);
  const size_t faceCount = h.faceDataSize / sizeof(QzFaceRecord);
  file.faces.resize(faceCount);
  if (faceCount > 0) std::memcpy(file.faces.data(), data + h.faceDataOffset, h.faceDataSize);
  file.textures.resize(h.textureTableSize / kQzTextureSlotSize);
  if (!file.textures.empty()) {
    std::memcpy(file.textures.data(), data + h.textureTableOffset, h.textureTableSize);
  }

  file.objects.resize(objectCount);
  for (size_t j = 0; j < objectCount; ++j) {
    std::memcpy(&file.objects[j].entry, data + h.objectTableOffset + j * sizeof(QzObjectEntry),
                sizeof(QzObjectEntry));
  }
  // An entry's records run from its first face to the next entry's (the last one's to the end);
  // its count field holds the low 16 bits of that.
  for (size_t j = 0; j < objectCount; ++j) {
    const uint64_t first = file.objects[j].entry.firstFace;
    const uint64_t end = j + 1 < objectCount ? file.objects[j + 1].entry.firstFace : faceCount;
    if (first > end || end > faceCount) {
      error = "object " + std::to_string(j) + " has faces outside the face data";
      return false;
    }
    file.objects[j].records = end - first;
    if ((end - first) % 65536 != file.objects[j].entry.faceCount) {
      error = "object " + std::to_string(j) + " face count " +
              std::to_string(file.objects[j].entry.faceCount) + " does not match its " +
              std::to_string(end - first) + " records";
      return false;
    }
  }
  if (objectCount > 0 && file.objects[0].entry.firstFace != 0) {
    error = "object 0 does not start at face 0";
    return false;
  }
  return true;
}

std::string TextureSlotName(const std::array<uint8_t, kQzTextureSlotSize>& slot) {
  size_t length = 0;
  while (length < slot.size() && slot[length] != 0)
    ++length;
  return std::string(reinterpret_cast<const char*>(slot.data()), length);
}
