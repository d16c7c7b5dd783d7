// The Windows program's settings: vuv2ez.ini beside vuv2ez.exe, section [convert], read at each
// start. A key set to 1 is on; anything else, a missing key or no file at all is off, and with
// every key off the program converts as it always has. What the settings make of a conversion,
// and how the message boxes name them, are the same on every platform.
#pragma once

#include <string>
#include <vector>

#include "front/convert_file.h"

struct ProgramSettings {
  bool asShown = false;  // as_shown: the five conversion keys below on, whatever they say
  bool mirror = false;
  bool visibleOnly = false;
  bool subdivide = false;
  bool lathe = false;
  bool facetNormals = false;
  bool warnings = false;  // the message box after a conversion adds its warnings
};

// Each key of the file with its setting, in the file's order.
struct SettingKey {
  const char* key;
  bool ProgramSettings::*setting;
};
inline constexpr SettingKey kSettingKeys[] = {
    {"as_shown", &ProgramSettings::asShown},
    {"mirror", &ProgramSettings::mirror},
    {"visible_only", &ProgramSettings::visibleOnly},
    {"subdivide", &ProgramSettings::subdivide},
    {"lathe", &ProgramSettings::lathe},
    {"facet_normals", &ProgramSettings::facetNormals},
    {"warnings", &ProgramSettings::warnings},
};
inline constexpr char kSettingsFileName[] = "vuv2ez.ini";
inline constexpr char kSettingsSection[] = "convert";

// The conversion the settings ask for; a ticked flat-shading box wins over facet_normals, as
// --flat wins over --facet-normals.
ConversionOptions ConversionOptionsFor(const ProgramSettings& settings, bool flatBoxTicked);

// A warning of the command line worded for the settings file: each option it names becomes the
// key that does the same ("--mirror" becomes "vuv2ez.ini の mirror=1").
std::string WordedForSettingsFile(std::string warning);

// The message after one conversion: the outcome's text, then with `warnings` a line for each of
// its warnings, worded for the settings file.
std::string OutcomeMessage(const Conversion& conversion, bool warnings);

// The message after several: "<source>: <outcome text>" a file, each followed by its warnings with
// `warnings`; at most kListedLines lines, then "ほか N 件" for the files not listed.
inline constexpr size_t kListedLines = 20;
std::string OutcomeListMessage(const std::vector<std::string>& sourcePaths,
                               const std::vector<Conversion>& conversions, bool warnings);

#ifdef _WIN32
// The settings in the file at `path`, each key read with GetPrivateProfileIntA.
ProgramSettings ReadProgramSettings(const std::string& path);
// The file beside the running program, from GetModuleFileNameA ("" when that fails).
std::string ProgramSettingsPath();
#endif
