// The two command-line forms the program accepts.
//
// Windows hands the program one raw text, split on blanks outside double quotes (a backslash is
// just a character). No token: the dialog. One token holding a quote: its first and last
// characters are dropped (the quotes around a path, whatever they are) and the rest is the source
// path. One token without a quote: that path when it names an existing file, else the same as
// with a quote. Two or more tokens: each a path, its quotes removed. Every source is converted to
// its path with ".qz" appended. Other platforms hand over split, unquoted arguments:
// vuv2ez [--flat] [--facet-normals] [--mirror] [--visible-only] [--lathe] [--subdivide]
// [--as-shown] [-q] [-o PATH] [--] FILE... (--subdivide only where the build has subdivision;
// --as-shown stands for every option that shows the model as the modeller does: --visible-only
// --mirror --facet-normals --lathe, and --subdivide where the build has it).
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct RawCommandLine {
  bool dialog = false;
  std::vector<std::string> sourcePaths;  // one, or two or more listed in one message box
};

// `isFile` answers whether a path names an existing file (not a folder).
RawCommandLine InterpretRawCommandLine(std::string_view raw, bool (*isFile)(const char* path));

struct Arguments {
  enum Action { kConvert, kDialog, kHelp, kVersion, kUsageError } action = kConvert;
  bool flat = false;
  bool mirror = false;        // --mirror: mirror objects written whole
  bool visibleOnly = false;   // --visible-only: hidden objects left out
  bool lathe = false;         // --lathe: lathe objects turned into their bodies
  bool subdivide = false;     // --subdivide: curved surfaces refined
  bool facetNormals = false;  // --facet-normals: normals as the modeller shades each object
  bool quiet = false;         // -q: no warnings
  bool hasOutput = false;
  std::string outputPath;
  std::vector<std::string> files;
  std::string error;  // what was wrong, for kUsageError, in the program's language
};

Arguments ParseArguments(const std::vector<std::string>& arguments);

// Converts every file of `arguments` (action kConvert), reporting each in lines on standard error
// (see conversion_report.h); 0 when every one of them was converted, 1 otherwise.
int ConvertArguments(const Arguments& arguments);
