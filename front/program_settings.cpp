// What the Windows program's settings make of a conversion and of its warnings.
#include "front/program_settings.h"

#include <string_view>

ConversionOptions ConversionOptionsFor(const ProgramSettings& settings, bool flatBoxTicked) {
  const ProgramSettings& s = settings;
  const bool all = s.asShown;
  ConversionOptions options;
  options.smooth = !flatBoxTicked;
  options.bakeMirrors = all || s.mirror;
  options.visibleOnly = all || s.visibleOnly;
  options.lathe = all || s.lathe;
  options.subdivide = all || s.subdivide;
  options.noteModel = s.warnings;
  // facet_normals: read, and turned on by as_shown, but the conversion has no such option yet.
  // It becomes this one line once it has (the flat box wins, as --flat does):
  //   options.facetNormals = !flatBoxTicked && (all || s.facetNormals);
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
