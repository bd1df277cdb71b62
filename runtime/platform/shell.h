// shell.h: asking the desktop to open a URL.
//
// Depends on: the desktop's opener: xdg-open (shell_posix.cpp) or the shell's "open" verb
// (shell_win32.cpp). Must not touch: runtime objects.
#pragma once

// Starts the desktop's handler for url and does not wait for it; the result is not reported.
void bbPlatformOpenUrl(const char* url);
