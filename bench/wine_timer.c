/* Times the Windows program under Wine: wine_timer VUV2EZ.EXE MODEL starts VUV2EZ.EXE with the
   model's path in double quotes, as Windows starts it from an icon, waits for the message box
   that ends its conversion, closes it, and prints the seconds from the start to the box. */
#include <stdio.h>
#include <windows.h>

int main(int argc, char** argv) {
  char line[4096];
  STARTUPINFOA startup = {sizeof startup};
  PROCESS_INFORMATION process;
  LARGE_INTEGER frequency, started, shown;
  HWND box = NULL;
  if (argc != 3) return 2;
  snprintf(line, sizeof line, "\"%s\" \"%s\"", argv[1], argv[2]);
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&started);
  if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) return 1;
  while ((box = FindWindowA("#32770", "VUV2EZ")) == NULL) {
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) return 1;
  }
  QueryPerformanceCounter(&shown);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) return 1;
  printf("%.6f\n", (double)(shown.QuadPart - started.QuadPart) / (double)frequency.QuadPart);
  return 0;
}
