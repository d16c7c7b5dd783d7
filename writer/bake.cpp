// The baking steps in their order, each checked against the format's size and the memory it may
// use before it changes anything.
#include "writer/bake.h"

#include <bit>
#include <cstdint>
#include <exception>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "writer/lathe.h"
#include "writer/mirror.h"
#include "writer/qz_format.h"
#include "writer/qz_writer.h"
#ifdef VUV2EZ_SUBDIVISION
#include "writer/subdivide.h"
#endif

namespace {

// What a baked model may hold in memory per QZ record it will give, about 1.7 and 2 times what
// was measured (docs/performance.md: 94 bytes a record for a turned lathe, 143 for a refined
// surface, peak resident memory): the faces, corners and vertices of a plain model with its
// normals while it is written, and the same while OpenSubdiv refines it, with the refiner's
// tables of every level.
constexpr uint64_t kBytesPerRecord = 160;
constexpr uint64_t kBytesPerRefinedRecord = 288;

uint64_t Records(const MeshObject& object) {
  uint64_t records = 0;
  for (const Face& face : object.faces)
    records += QzRecordsOf(face);
  return records;
}

// The most records a file of this model's objects and textures can hold within 4 GiB, an entry
// per object and, as baked models are written, one more for every 65,535 records.
uint64_t RecordLimit(const Model& model) {
  const uint64_t fixed = sizeof(QzHeader) + uint64_t{sizeof(QzObjectEntry)} * model.objects.size() +
                         uint64_t{kQzTextureSlotSize} * static_cast<uint32_t>(model.textureCount);
  if (fixed > UINT32_MAX) return 0;
  const uint64_t perEntry = sizeof(QzFaceRecord) * kQzMaxEntryRecords + sizeof(QzObjectEntry);
  return (UINT32_MAX - fixed) * kQzMaxEntryRecords / perEntry;
}

// An upper bound of the records a mirror object gives once whole: a copy of its faces for each
// combination of its planes, and for connected halves a bridge for each edge, plane and copy.
uint64_t MirrorRecordsBound(const MeshObject& object) {
  const uint64_t records = Records(object);
  const uint32_t planes = static_cast<uint32_t>(object.mirrorAxis) & 7u;
  if ((object.mirror != 1 && object.mirror != 2) || planes == 0) return records;
  const uint64_t copies = uint64_t{1} << std::popcount(planes);
  const uint64_t bridges = object.mirror == 2 ? object.cornerIndices.size() * 12 : 0;
  return records * copies + bridges;
}

struct Step {
  Model& model;
  uint64_t memory;
  BakeReport& report;

  // Whether a step giving `records` in all, at `bytes` each, may go ahead.
  bool Allowed(uint64_t records, uint64_t bytes) {
    if (records > RecordLimit(model)) {
      report.failure = kWriteCauseTooLarge;
      return false;
    }
    if (records > memory / bytes) {
      report.failure = kWriteCauseTooLargeForMemory;
      return false;
    }
    return true;
  }
  template <typename Count>
  bool Counted(Count count, uint64_t bytes) {
    uint64_t records = 0;
    for (const MeshObject& object : model.objects) {
      const uint64_t n = count(object);
      records = n > UINT64_MAX - records ? UINT64_MAX : records + n;
    }
    return Allowed(records, bytes);
  }
};

}  // namespace

uint64_t MemoryAllowance() {
#ifdef _WIN32
  return UINT64_MAX;  // no overcommitment: an allocation that cannot be had fails at once
#else
  uint64_t allowance = UINT64_MAX;
  const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
  if (pages > 0 && pageSize > 0) {
    allowance = static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
  }
  for (const int resource : {RLIMIT_AS, RLIMIT_DATA}) {
    struct rlimit limit {};
    if (getrlimit(resource, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        limit.rlim_cur < allowance) {
      allowance = limit.rlim_cur;
    }
  }
  return allowance;
#endif
}

bool HasSubdivision() {
#ifdef VUV2EZ_SUBDIVISION
  return true;
#else
  return false;
#endif
}

BakeReport BakeModel(Model& model, const BakeOptions& options, uint64_t memory) {
  BakeReport report;
  Step step{model, memory, report};
  if (options.lathe) {
    if (!step.Counted(LatheRecords, kBytesPerRecord)) return report;
    for (MeshObject& object : model.objects) {
      if (!TurnsAsLathe(object)) continue;
      if (!BakeLathe(object)) {
        report.failure = kWriteCauseTooLargeForMemory;
        return report;
      }
      object.lathe = 0;  // a body now, no longer a profile
    }
  }
  if (options.mirror) {
    if (!step.Counted(MirrorRecordsBound, kBytesPerRecord)) return report;
    report.mirrorsLeft = BakeMirrors(model);
  }
#ifdef VUV2EZ_SUBDIVISION
  if (options.subdivide) {
    if (!step.Counted(SubdividedRecords, kBytesPerRefinedRecord)) return report;
    for (MeshObject& object : model.objects) {
      if (!RefinesAsSurface(object)) continue;
      report.levelsOutOfRange += LevelsOutOfRange(object);
      const SubdivisionResult result = Subdivide(object);
      if (result == kSurfaceNoMemory) {
        report.failure = kWriteCauseTooLargeForMemory;
        return report;
      }
      if (result == kSurfaceRefused) report.refusedSurfaces.push_back(object.name);
    }
  }
#endif
  return report;
}
