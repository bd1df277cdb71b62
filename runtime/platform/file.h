// file.h: opening files by UTF-8 path and replacing a file atomically.
//
// Depends on: the C library and POSIX (file_posix.cpp), or the Windows API, which gets the paths
// widened to UTF-16 for its wide-character calls (file_win32.cpp). Must not touch: any runtime
// object.
#pragma once

#include <cstddef>
#include <cstdio>

// Opens a file with a C mode string ("rb", "wb"); null when it cannot be opened.
std::FILE* bbPlatformOpenFile(const char* utf8Path, const char* mode);

// True when anything is at the path: a file, a folder, or a link even when it leads nowhere.
bool bbPlatformPathExists(const char* utf8Path);

// Writes bytes to path so that the old file is replaced whole or not at all: a temporary file in
// the same folder is written, flushed and synced, then renamed over path (on Windows moved over it
// with MoveFileExW, replacing the old file and writing through to the disk). On POSIX a symbolic
// link is followed, the file it leads to replaced and its permissions kept.
// Returns 0 on success, -1 when the temporary file cannot be created, -2 when writing, syncing or
// renaming fails. On any failure the old file is left as it was and the temporary is removed.
int bbPlatformReplaceFile(const char* utf8Path, const unsigned char* bytes, std::size_t length);
