/* Holds Wine's desktop open for a whole test run: with one program attached to it, each GUI test
   neither waits for the desktop to start nor leaves it holding the test runner's output pipe.
   Ended by `wineserver -k`. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  (void)instance;
  (void)previous;
  (void)commandLine;
  (void)show;
  GetDesktopWindow(); /* attaches this process to the desktop */
  Sleep(INFINITE);
  return 0;
}
