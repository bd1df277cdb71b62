// shell_web.cpp: URLs open in a new tab of the browser, detached from the game's page.
#include "shell.h"

#include <emscripten.h>

void bbPlatformOpenUrl(const char* url) {
  if (!url || !*url) return;
  EM_ASM({ window.open(UTF8ToString($0), "_blank", "noopener"); }, url);
}
