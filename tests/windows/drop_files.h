// Real drop handles, as the shell hands them to a window that files are dropped on: a DROPFILES
// header followed by the list of paths, each ended by a zero, the list by one more.
#pragma once

#include <string>
#include <vector>

#include "front/window_services.h"

// Paths in the ANSI code page (932).
HDROP MakeDrop(const std::vector<std::string>& paths);
// Paths in UTF-16, as Explorer drops them.
HDROP MakeWideDrop(const std::vector<std::wstring>& paths);
