// file_win32.cpp: files over the Windows API. Paths arrive as UTF-8 and are widened for the
// wide-character calls, so that names outside the ANSI code page open too.
#include "file.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "wide_win32.h"

std::FILE* bbPlatformOpenFile(const char* utf8Path, const char* mode) {
  std::wstring path = bbPlatformWiden(utf8Path);
  if (path.empty()) return nullptr;
  return _wfopen(path.c_str(), bbPlatformWiden(mode).c_str());
}

bool bbPlatformPathExists(const char* utf8Path) {
  std::wstring path = bbPlatformWiden(utf8Path);
  // The attributes of a link are its own, so a link that leads nowhere exists too.
  return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

bool bbWriteAll(HANDLE file, const unsigned char* bytes, std::size_t length) {
  while (length > 0) {
    DWORD chunk = length > 0x40000000 ? 0x40000000 : static_cast<DWORD>(length);
    DWORD written = 0;
    if (!WriteFile(file, bytes, chunk, &written, nullptr) || written == 0) return false;
    bytes += written;
    length -= written;
  }
  return true;
}

// Creates a new, empty temporary file beside target; INVALID_HANDLE_VALUE when none can be made.
HANDLE bbCreateTemporary(const std::wstring& target, std::wstring* temp) {
  static unsigned serial = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    wchar_t suffix[48];
    std::swprintf(suffix, sizeof suffix / sizeof suffix[0], L".tmp-%lu-%u",
                  static_cast<unsigned long>(GetCurrentProcessId()), ++serial);
    *temp = target + suffix;
    HANDLE file = CreateFileW(temp->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

int bbPlatformReplaceFile(const char* utf8Path, const unsigned char* bytes, std::size_t length) {
  std::wstring target = bbPlatformWiden(utf8Path);
  if (target.empty()) return -1;
  std::wstring temp;
  HANDLE file = bbCreateTemporary(target, &temp);
  if (file == INVALID_HANDLE_VALUE) return -1;
  bool ok = bbWriteAll(file, bytes, length) && FlushFileBuffers(file);
  if (!CloseHandle(file)) ok = false;
  // Write-through: the move is on the disk when the call returns, as the rename and folder sync
  // are on POSIX.
  if (ok && !MoveFileExW(temp.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false;
  }
  if (!ok) {
    DeleteFileW(temp.c_str());
    return -2;
  }
  return 0;
}
