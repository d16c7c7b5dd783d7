// What the Windows program's settings make of a conversion and of its warnings.
#include "front/program_settings.h"

#include <string_view>

#include "front/conversion_report.h"
#include "front/dialog_model.h"
#include "front/resources/texts.h"
#include "front/window_services.h"

ConversionOptions ConversionOptionsFor(const ProgramSettings& settings, bool flatBoxTicked) {
  const ProgramSettings& s = settings;
  const bool all = s.asShown;
  ConversionOptions options;
  options.smooth = !flatBoxTicked;
  options.bakeMirrors = all || s.mirror;
  options.visibleOnly = all || s.visibleOnly;
  options.lathe = all || s.lathe;
  options.subdivide = all || s.subdivide;
  options.shadedNormals = all || s.facetNormals;  // unless flat: smooth says so
  options.noteModel = s.warnings;
  return options;
}

std::string WordedForSettingsFile(std::string warning) {
  // Longer options first, so that none is taken for the start of another.
  static constexpr std::pair<std::string_view, std::string_view> kOptionKeys[] = {
      {"--facet-normals", "facet_normals"},
      {"--visible-only", "visible_only"},
      {"--subdivide", "subdivide"},
      {"--as-shown", "as_shown"},
      {"--mirror", "mirror"},
      {"--lathe", "lathe"},
  };
  for (const auto& [option, key] : kOptionKeys) {
    const std::string named = std::string(kSettingsFileName) + " の " + std::string(key) + "=1";
    for (size_t at = warning.find(option); at != std::string::npos;
         at = warning.find(option, at + named.size())) {
      warning.replace(at, option.size(), named);
    }
  }
  return warning;
}

std::string OutcomeMessage(const Conversion& conversion, bool warnings) {
  std::string text = OutcomeText(conversion.outcome);
  if (!warnings || conversion.outcome != kConverted) return text;
  for (const std::string& warning : WarningTexts(conversion))
    text.append("\n").append(WordedForSettingsFile(warning));
  return text;
}

std::string OutcomeListMessage(const std::vector<std::string>& sourcePaths,
                               const std::vector<Conversion>& conversions, bool warnings) {
  std::vector<std::string> lines;
  size_t listed = 0;
  for (; listed < sourcePaths.size() && lines.size() < kListedLines; ++listed) {
    const Conversion& conversion = conversions[listed];
    lines.push_back(sourcePaths[listed] + ": " + OutcomeText(conversion.outcome));
    if (!warnings || conversion.outcome != kConverted) continue;
    for (const std::string& warning : WarningTexts(conversion)) {
      if (lines.size() < kListedLines)
        lines.push_back(std::string("  ") + WordedForSettingsFile(warning));
    }
  }
  std::string text;
  for (const std::string& line : lines)
    text.append(text.empty() ? "" : "\n").append(line);
  if (listed < sourcePaths.size()) {
    text.append("\n").append(kMoreFilesNote.before);
    text.append(std::to_string(sourcePaths.size() - listed)).append(kMoreFilesNote.after);
  }
  return text;
}

#ifdef _WIN32
ProgramSettings ReadProgramSettings(const std::string& path) {
  ProgramSettings settings;
  if (path.empty()) return settings;  // no file: without a full path Windows would look elsewhere
  for (const SettingKey& k : kSettingKeys) {
    settings.*k.setting = GetPrivateProfileIntA(kSettingsSection, k.key, 0, path.c_str()) == 1;
  }
  return settings;
}

std::string ProgramSettingsPath() {
  // The path may pass MAX_PATH: the buffer grows until the whole path fits.
  std::string path(260, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
  // The folder ends at the last separator that is a character of its own, not the second byte of
  // a two-byte character (as in ソ, 83 5C).
  size_t folderLength = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
      ++i;
    } else if (path[i] == '\\' || path[i] == '/') {
      folderLength = i + 1;
    }
  }
  return path.substr(0, folderLength) + kSettingsFileName;
}
#endif
