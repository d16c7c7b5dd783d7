// The model baked as the modeller shows it, before it is written: lathe objects turned
// (lathe.h), mirror objects written whole (mirror.h), curved surfaces refined (subdivide.h), in
// that order, each as its option asks.
//
// Before each step the records it would give are counted: when the file would pass the format's
// 4 GiB, or the step would need more memory than the machine (or the process's limits) allow,
// BakeModel stops and says so, and the caller writes nothing. An object the refiner refuses stays
// as it was, named in the report.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reader/model.h"
#include "writer/mirror.h"
#include "writer/output_file.h"

struct BakeOptions {
  bool lathe = false;      // lathe objects turned into their bodies
  bool mirror = false;     // mirror objects written whole
  bool subdivide = false;  // curved surfaces refined (only where the build has subdivision)
};

struct BakeReport {
  WriteCause failure = kWriteCauseNone;      // kWriteCauseTooLarge or kWriteCauseTooLargeForMemory
  std::vector<std::string> refusedSurfaces;  // curved surfaces written as their control cage
  uint64_t levelsOutOfRange = 0;             // refined surfaces whose segment lay outside 1 to 4
  MirrorsLeft mirrorsLeft;                   // mirror objects left as stored, by reason
};

// Memory the baking may count on: the machine's, or less when the process is limited. Where the
// system says nothing, as much as an address can hold (allocation failures still stop a step).
uint64_t MemoryAllowance();

// `memory` is what the steps may use, in bytes (MemoryAllowance() in the program).
BakeReport BakeModel(Model& model, const BakeOptions& options, uint64_t memory);

// Whether this build refines curved surfaces.
bool HasSubdivision();
