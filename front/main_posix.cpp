// The program's entry on platforms without the Windows window services: split arguments, and
// with none the conversion dialog in the terminal.
#include <cstdio>
#include <string>
#include <vector>

#include "front/command_line.h"
#include "front/resources/texts.h"
#include "front/terminal/terminal_dialog.h"

#ifndef VUV2EZ_VERSION
#define VUV2EZ_VERSION "unknown"
#endif

int main(int argc, char** argv) {
  const std::vector<std::string> words(argv + (argc > 0 ? 1 : 0), argv + argc);
  const Arguments arguments = ParseArguments(words);
  switch (arguments.action) {
    case Arguments::kHelp:
      std::fputs(kUsageText, stdout);
      return 0;
    case Arguments::kVersion:
      std::puts("vuv2ez " VUV2EZ_VERSION);
      return 0;
    case Arguments::kUsageError:
      std::fprintf(stderr, "vuv2ez: %s\n%s", arguments.error.c_str(), kUsageText);
      return 2;
    case Arguments::kDialog:
      // The dialog way, in the terminal the program was started from.
      if (const char* problem = RunTerminalDialog()) {
        std::fprintf(stderr, "vuv2ez: %s\n", problem);
        return 1;
      }
      return 0;
    case Arguments::kConvert:
      break;
  }
  return ConvertArguments(arguments);
}
