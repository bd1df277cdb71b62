// file_posix.cpp: files over POSIX.
#include "file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

std::FILE* bbPlatformOpenFile(const char* utf8Path, const char* mode) {
  if (!utf8Path || !*utf8Path) return nullptr;
  return std::fopen(utf8Path, mode);
}

namespace {

bool bbWriteAll(int fd, const unsigned char* bytes, std::size_t length) {
  while (length > 0) {
    ssize_t n = write(fd, bytes, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += n;
    length -= static_cast<std::size_t>(n);
  }
  return true;
}

// Syncs the folder holding path so that a rename in it survives a power cut.
void bbSyncFolder(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

bool bbPlatformPathExists(const char* utf8Path) {
  struct stat st;
  return lstat(utf8Path, &st) == 0;
}

int bbPlatformReplaceFile(const char* utf8Path, const unsigned char* bytes, std::size_t length) {
  std::string target(utf8Path);
  // A link is written through: its target is replaced (a player may keep the file in a synced
  // folder and link it here), and the link stays.
  if (char* real = realpath(utf8Path, nullptr)) {
    target = real;
    std::free(real);
  }
  std::string temp = target + ".tmp-XXXXXX";
  int fd = mkstemp(&temp[0]);
  if (fd < 0) return -1;
  // mkstemp creates the file for the owner alone: give it the old file's permissions, or the usual
  // ones for a new file.
  struct stat old;
  fchmod(fd, stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
  bool ok = bbWriteAll(fd, bytes, length) && fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  if (ok && rename(temp.c_str(), target.c_str()) != 0) ok = false;
  if (!ok) {
    unlink(temp.c_str());
    return -2;
  }
  bbSyncFolder(target);
  return 0;
}
