// The QZ writer: counts, header, object table, face records and texture table, in file order.
#include "writer/qz_writer.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

#include "writer/normals.h"
#include "writer/output_file.h"
#include "writer/qz_format.h"

namespace {

constexpr size_t kFlushSize = 1 << 20;

// Collects bytes and hands them to the sink in large pieces. The buffer is allocated once and
// never grows: pieces are copied into it and it is emptied whenever it is full.
struct ByteBuffer {
  QzSink sink;
  std::unique_ptr<uint8_t[]> storage = std::make_unique_for_overwrite<uint8_t[]>(kFlushSize);
  uint8_t* bytes = storage.get();
  size_t used = 0;
  bool ok = true;

  void Append(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (size > kFlushSize - used) {
      const size_t part = kFlushSize - used;
      std::memcpy(bytes + used, p, part);
      used = kFlushSize;
      Flush();
      p += part;
      size -= part;
    }
    if (size > 0) std::memcpy(bytes + used, p, size);  // a texture table may be empty
    used += size;
  }
  // The one copy a record takes, of a size known when compiled.
  template <typename Record>
  void AppendRecord(const Record& record) {
    if (sizeof record > kFlushSize - used) Flush();
    std::memcpy(bytes + used, &record, sizeof record);
    used += sizeof record;
  }
  void Flush() {
    if (ok && used > 0) ok = sink.write(sink.context, bytes, used);
    used = 0;
  }
};

// The product with 255, truncated toward zero and saturated to 64 bits; NaN gives 0.
uint32_t ColourByte(float component) {
  const double product = 255.0 * static_cast<double>(component);
  if (std::isnan(product)) return 0;
  if (product >= 9223372036854775808.0) return static_cast<uint32_t>(INT64_MAX);
  if (product < -9223372036854775808.0) return static_cast<uint32_t>(INT64_MIN);
  return static_cast<uint32_t>(static_cast<int64_t>(product));
}

struct Appearance {
  uint32_t colour;
  int16_t texture;
};

Appearance AppearanceOf(const Material& material) {
  const uint32_t r = ColourByte(material.col.r);
  const uint32_t g = ColourByte(material.col.g);
  const uint32_t b = ColourByte(material.col.b);
  return {65536u * r + 256u * g + b, static_cast<int16_t>(material.textureIndex)};
}

std::vector<uint8_t> TextureTable(const Model& model) {
  const auto count = static_cast<size_t>(std::max(model.textureCount, 0));
  std::vector<uint8_t> table(count * kQzTextureSlotSize, 0);
  for (const Material& material : model.materials) {
    if (material.textureIndex < 0 || static_cast<size_t>(material.textureIndex) >= count) continue;
    uint8_t* slot = table.data() + static_cast<size_t>(material.textureIndex) * kQzTextureSlotSize;
    std::fill(slot, slot + kQzTextureSlotSize, uint8_t{0});
    const size_t length = std::min(material.textureName.size(), kQzTextureSlotSize);
    std::memcpy(slot, material.textureName.data(), length);
    // The extension is cut by turning the slot's last "." into a terminator; what followed it
    // stays in the slot.
    const auto* end = static_cast<const uint8_t*>(std::memchr(slot, 0, kQzTextureSlotSize));
    const size_t text = end != nullptr ? static_cast<size_t>(end - slot) : kQzTextureSlotSize;
    for (size_t i = text; i-- > 0;) {
      if (slot[i] == '.') {
        slot[i] = 0;
        break;
      }
    }
  }
  return table;
}

// Where the corners of one object find their normals: a vertex's, a face's, or a corner's own.
struct ObjectNormals {
  NormalMode mode;
  const Vec4* normals;
  const uint32_t* ofCorner;  // shaded: each corner's entry in normals
};

void WriteFaceRecords(const MeshObject& object, size_t faceIndex, const Appearance& look,
                      const ObjectNormals& normals, ByteBuffer& out) {
  const Face& face = object.faces[faceIndex];
  const float* uvs = object.cornerUvs.data() + 2 * size_t{face.firstCorner};
  const auto last = static_cast<uint32_t>(face.vertexCount - 1);
  const uint64_t records = QzRecordsOf(face);
  for (uint64_t r = 0; r < records; ++r) {
    QzFaceRecord record;  // every field is set below
    for (uint32_t slot = 0; slot < 4; ++slot) {
      // Record 0 holds corners 0..3; record r > 0 holds corners 0, 2r+1, 2r+2, 2r+3; a missing
      // corner repeats the face's last one.
      const uint32_t wanted = (r == 0 || slot == 0) ? slot : static_cast<uint32_t>(2 * r) + slot;
      const uint32_t corner = std::min(wanted, last);
      const CornerPoint point = CornerAt(object, face, corner);
      record.positions[slot] = point.position;
      if (normals.mode == kSmoothNormals) {
        record.normals[slot] = point.vertex >= 0 ? normals.normals[point.vertex] : kOrigin;
      } else if (normals.mode == kFlatNormals) {
        record.normals[slot] = normals.normals[faceIndex];
      } else {
        record.normals[slot] = normals.normals[normals.ofCorner[face.firstCorner + corner]];
      }
      record.uvs[slot][0] = uvs[2 * corner];
      record.uvs[slot][1] = uvs[2 * corner + 1];
    }
    record.colour = look.colour;
    record.texture = look.texture;
    record.zero = 0;
    out.AppendRecord(record);
  }
}

}  // namespace

bool WriteQz(const Model& model, const WriteOptions& options, QzSink sink) {
  assert(ValidateModel(model) == kModelSound);
  // Record counts first: they fix every size and offset of the header and the object table.
  std::vector<uint64_t> objectRecords;
  objectRecords.reserve(model.objects.size());
  uint64_t totalRecords = 0, entries = 0;
  for (const MeshObject& object : model.objects) {
    uint64_t records = 0;
    for (const Face& face : object.faces)
      records += QzRecordsOf(face);
    objectRecords.push_back(records);
    totalRecords += records;
    entries += QzEntriesOf(records, options.splitLongObjects);
  }
  const std::vector<uint8_t> textures = TextureTable(model);
  const uint64_t objectTableSize = uint64_t{sizeof(QzObjectEntry)} * entries;
  const uint64_t faceDataSize = uint64_t{sizeof(QzFaceRecord)} * totalRecords;
  const uint64_t fileSize = sizeof(QzHeader) + objectTableSize + faceDataSize + textures.size();
  if (fileSize > UINT32_MAX) return false;  // offsets and sizes are 32-bit in the header

  ByteBuffer out{sink};

  QzHeader header;
  std::memset(&header, 0, sizeof header);
  std::memcpy(header.magic, kQzMagic, sizeof header.magic);
  header.version = kQzVersion;
  header.objectTableSize = static_cast<uint32_t>(objectTableSize);
  header.objectTableOffset = sizeof(QzHeader);
  header.faceDataSize = static_cast<uint32_t>(faceDataSize);
  header.faceDataOffset = static_cast<uint32_t>(sizeof(QzHeader) + objectTableSize);
  header.textureTableSize = static_cast<uint32_t>(textures.size());
  header.textureTableOffset =
      static_cast<uint32_t>(sizeof(QzHeader) + objectTableSize + faceDataSize);
  header.trailer = kQzTrailerWord;
  out.Append(&header, sizeof header);

  uint64_t firstFace = 0, j = 0;
  for (const uint64_t records : objectRecords) {
    const uint64_t parts = QzEntriesOf(records, options.splitLongObjects);
    for (uint64_t part = 0; part < parts; ++part, ++j) {
      // A part of a split object holds 65,535 records, the last one the rest.
      const uint64_t count =
          parts == 1 ? records : std::min(records - part * kQzMaxEntryRecords, kQzMaxEntryRecords);
      QzObjectEntry entry;
      std::memset(&entry, 0, sizeof entry);
      std::fill(std::begin(entry.one), std::end(entry.one), 1.0f);
      entry.flag = 1;
      entry.faceCount = static_cast<uint16_t>(count);
      entry.firstFace = static_cast<uint32_t>(firstFace);
      entry.next = j + 1 < entries ? static_cast<uint16_t>(j + 1) : uint16_t{0};
      out.Append(&entry, sizeof entry);
      firstFace += count;
    }
  }

  std::vector<Appearance> looks;
  looks.reserve(model.materials.size());
  for (const Material& material : model.materials)
    looks.push_back(AppearanceOf(material));
  const Appearance fallback{0x00FFFFFFu, -1};  // white, untextured

  std::vector<Vec4> normals;
  ShadedNormals shaded;
  for (const MeshObject& object : model.objects) {
    ObjectNormals source{options.normals, nullptr, nullptr};
    if (options.normals == kShadedNormals) {
      ComputeShadedNormals(object, shaded);
      source.normals = shaded.normals.data();
      source.ofCorner = shaded.ofCorner.data();
    } else {
      ComputeNormals(object, options.normals == kSmoothNormals, normals);
      source.normals = normals.data();
    }
    for (size_t i = 0; i < object.faces.size() && out.ok; ++i) {
      const int32_t material = object.faces[i].material;
      const bool known = material >= 0 && static_cast<size_t>(material) < looks.size();
      WriteFaceRecords(object, i, known ? looks[static_cast<size_t>(material)] : fallback, source,
                       out);
    }
  }
  out.Append(textures.data(), textures.size());
  out.Flush();
  return out.ok;
}

int WriteModel(const Model& model, const char* path, const WriteOptions& options,
               WriteFailure* failure) {
  assert(ValidateModel(model) == kModelSound);
  OutputFile file;
  bool written = false;
  try {
    if (OpenOutput(path, file)) {
      const QzSink sink{[](void* context, const void* bytes, size_t size) {
                          return WriteOutput(*static_cast<OutputFile*>(context), bytes, size);
                        },
                        &file};
      // A sink that did not fail leaves one reason for WriteQz to refuse: the format's sizes.
      if (WriteQz(model, options, sink)) {
        written = CommitOutput(file);
      } else if (file.failure.cause == kWriteCauseNone) {
        file.failure.cause = kWriteCauseTooLarge;
      }
    }
  } catch (const std::exception&) {
    file.failure = WriteFailure{kWriteCauseNoMemory};  // no memory for the buffers
  }
  if (!written) AbandonOutput(file);
  if (!written && failure != nullptr) *failure = file.failure;
  return written ? 0 : 1;
}
