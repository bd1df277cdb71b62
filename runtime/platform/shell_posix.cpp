// shell_posix.cpp: URLs open through xdg-open, started in the background.
#include "shell.h"

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

void bbPlatformOpenUrl(const char* url) {
  if (!url || !*url) return;
  char opener[] = "xdg-open";
  char* argv[] = {opener, const_cast<char*>(url), nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, opener, nullptr, nullptr, argv, environ) == 0) {
    // xdg-open hands the URL over and exits quickly; reap it so no zombie is left.
    int status;
    waitpid(pid, &status, 0);
  }
}
