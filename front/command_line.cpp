// Command-line interpretation and the command-line way of converting.
#include "front/command_line.h"

#include <cstdio>

#include "front/conversion_report.h"
#include "front/convert_file.h"
#include "front/resources/texts.h"
#include "writer/bake.h"

namespace {

struct Token {
  std::string text;  // without its quotes
  bool quoted = false;
};

std::vector<Token> SplitOnBlanks(std::string_view raw) {
  std::vector<Token> tokens;
  bool inToken = false;
  bool inQuotes = false;
  for (const char c : raw) {
    if (!inQuotes && (c == ' ' || c == '\t')) {
      inToken = false;
      continue;
    }
    if (!inToken) tokens.emplace_back();
    inToken = true;
    if (c == '"') {
      inQuotes = !inQuotes;
      tokens.back().quoted = true;
    } else {
      tokens.back().text += c;
    }
  }
  return tokens;
}

}  // namespace

RawCommandLine InterpretRawCommandLine(std::string_view raw, bool (*isFile)(const char* path)) {
  RawCommandLine result;
  if (raw.empty()) {
    result.dialog = true;
    return result;
  }
  const std::vector<Token> tokens = SplitOnBlanks(raw);
  if (tokens.size() >= 2) {
    for (const Token& token : tokens)
      result.sourcePaths.push_back(token.text);
  } else if (tokens.size() == 1 && !tokens[0].quoted && isFile(tokens[0].text.c_str())) {
    result.sourcePaths.push_back(tokens[0].text);
  } else {
    // The first and last characters are taken for quotes; a single character holds no path: the
    // source is empty and cannot be read.
    result.sourcePaths.emplace_back(raw.size() >= 2 ? raw.substr(1, raw.size() - 2) : "");
  }
  return result;
}

Arguments ParseArguments(const std::vector<std::string>& arguments) {
  Arguments parsed;
  auto fail = [&parsed](std::string message) {
    parsed.action = Arguments::kUsageError;
    parsed.error = std::move(message);
    return parsed;
  };
  bool optionsEnded = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
      parsed.files.push_back(argument);  // "-" alone is a file name too
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "--flat") {
      parsed.flat = true;
    } else if (argument == "--mirror") {
      parsed.mirror = true;
    } else if (argument == "--visible-only") {
      parsed.visibleOnly = true;
    } else if (argument == "--lathe") {
      parsed.lathe = true;
    } else if (argument == "--subdivide") {
      if (!HasSubdivision()) return fail(kNoSubdivisionText);
      parsed.subdivide = true;
    } else if (argument == "--facet-normals") {
      parsed.facetNormals = true;
    } else if (argument == "--as-shown") {  // every option that shows the model as the modeller
      parsed.visibleOnly = parsed.mirror = parsed.facetNormals = parsed.lathe = true;
      parsed.subdivide = parsed.subdivide || HasSubdivision();
    } else if (argument == "-q" || argument == "--quiet") {
      parsed.quiet = true;
    } else if (argument == "-o" || argument == "--output") {
      if (i + 1 >= arguments.size()) return fail(argument + kNeedsPathText);
      if (parsed.hasOutput) return fail(argument + kOnlyOnceText);
      parsed.hasOutput = true;
      parsed.outputPath = arguments[++i];
    } else if (argument == "-h" || argument == "--help") {
      parsed.action = Arguments::kHelp;
    } else if (argument == "--version") {
      if (parsed.action != Arguments::kHelp) parsed.action = Arguments::kVersion;
    } else {
      return fail(kUnknownOptionText + argument);
    }
  }
  if (parsed.action != Arguments::kConvert) return parsed;
  if (parsed.files.empty()) {
    const bool options = parsed.hasOutput || parsed.flat || parsed.mirror || parsed.visibleOnly ||
                         parsed.lathe || parsed.subdivide || parsed.facetNormals;
    if (options || parsed.quiet) return fail(kNoFileText);
    parsed.action = Arguments::kDialog;
  } else if (parsed.hasOutput && parsed.files.size() != 1) {
    return fail(kOneFileText);
  }
  return parsed;
}

int ConvertArguments(const Arguments& arguments) {
  ConversionOptions options{!arguments.flat, arguments.mirror,    arguments.visibleOnly,
                            arguments.lathe, arguments.subdivide, !arguments.quiet};
  options.shadedNormals = arguments.facetNormals;
  int status = 0;
  for (const std::string& file : arguments.files) {
    const std::string destination = arguments.hasOutput ? arguments.outputPath : file + ".qz";
    const Conversion conversion = Convert(file.c_str(), destination.c_str(), options);
    if (conversion.outcome != kConverted) status = 1;
    for (const std::string& line : ReportLines(file, destination, conversion, arguments.quiet))
      std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
  }
  return status;
}
