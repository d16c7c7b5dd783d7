// The command line's report of one conversion, in lines the program prints on standard error:
// "VUV2EZ: <file>: <outcome>" naming the source (or the destination, when writing it is what
// failed), with the reason after the fixed text of a failure, then one warning line per kind of
// thing the written file does not carry as the modeller shows it, unless `quiet`.
#pragma once

#include <string>
#include <vector>

#include "front/convert_file.h"

std::vector<std::string> ReportLines(const std::string& source, const std::string& destination,
                                     const Conversion& conversion, bool quiet);

// The warnings of a conversion, "警告: ...", as the command line words them.
std::vector<std::string> WarningTexts(const Conversion& conversion);

// Why a load or a write failed, in a sentence of the program's language.
std::string ReasonText(const LoadFailure& failure);
std::string ReasonText(const WriteFailure& failure);
