// The files named by a terminal paste. A file dropped on a terminal window arrives as pasted
// text, in whichever form that terminal uses: the plain path, the path in single or double
// quotes, blanks escaped with backslashes, or a file:// URI with percent escapes; several files
// are separated by blanks or line breaks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Every path the pasted text names, in order; none for blank text.
std::vector<std::string> PastedPaths(std::string_view pasted);
