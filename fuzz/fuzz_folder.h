// The fuzz targets' scratch folder: one per process, made on first use under $TMPDIR (or /tmp)
// and removed with whatever it holds when the process exits normally.
#pragma once

#include <string>

const std::string& FuzzFolder();
