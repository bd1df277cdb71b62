// file_web.cpp: files in the browser's in-memory file system. The saved state lives in a folder
// kept in the browser's IndexedDB (web.js mounts it and links the state file's usual name to it);
// every replaced file is written through to IndexedDB at once.
#include "file.h"

#include <emscripten.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

std::FILE* bbPlatformOpenFile(const char* utf8Path, const char* mode) {
  if (!utf8Path || !*utf8Path) return nullptr;
  return std::fopen(utf8Path, mode);
}

bool bbPlatformPathExists(const char* utf8Path) {
  struct stat st;
  return lstat(utf8Path, &st) == 0;
}

int bbPlatformReplaceFile(const char* utf8Path, const unsigned char* bytes, std::size_t length) {
  // A link is followed, so that the file it leads to is replaced and the link stays.
  std::string target(utf8Path);
  char linked[PATH_MAX];
  ssize_t n = readlink(utf8Path, linked, sizeof linked - 1);
  if (n > 0) target.assign(linked, static_cast<std::size_t>(n));
  std::string temp = target + ".tmp-XXXXXX";
  int fd = mkstemp(&temp[0]);
  if (fd < 0) return -1;
  std::FILE* file = fdopen(fd, "wb");
  if (!file) {
    close(fd);
    unlink(temp.c_str());
    return -1;
  }
  bool ok = std::fwrite(bytes, 1, length, file) == length;
  if (std::fclose(file) != 0) ok = false;
  if (ok && rename(temp.c_str(), target.c_str()) != 0) ok = false;
  if (!ok) {
    unlink(temp.c_str());
    return -2;
  }
  EM_ASM({ Module.zudodoPersist(); });
  return 0;
}
