// shell_win32.cpp: URLs open through the shell's "open" verb, which starts the desktop's handler
// and returns at once. The host hands the URL over narrowed to bytes, so the ANSI call takes it.
#include "shell.h"

#include <windows.h>
#include <shellapi.h>

void bbPlatformOpenUrl(const char* url) {
  if (!url || !*url) return;
  ShellExecuteA(nullptr, "open", url, nullptr, nullptr, SW_SHOWNORMAL);
}
