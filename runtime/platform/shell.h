// shell.h: asking the desktop to open a URL.
//
// Depends on: the operating system's desktop opener. Must not touch: runtime objects.
#pragma once

// Starts the desktop's handler for url and does not wait for it; the result is not reported.
void bbPlatformOpenUrl(const char* url);
