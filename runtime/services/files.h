// files.h: the runtime's path scheme, whole-file loading and the persisted state file.
//
// Asset names become "app://data/..." paths; the desktop host maps the "app://" schemes to folders
// under the working directory. The state string lives in ./.gamestate as UTF-8 and is replaced
// atomically, so a crash mid-save never loses the previous state.
// Depends on: the object runtime (strings), the platform file layer.
// Must not touch: the host object (it calls in here), game data.
#pragma once

#include <cstdio>

#include "runtime/object/string.h"

// The state file, relative to the working directory.
extern const char* const bbStateFileName;

// Gives a bare asset name the "app://data/" scheme; paths with a scheme, "./" or "/" stay as they are.
String bb_data_FixDataPath(String path);
// The desktop mapping of "app://data/", "app://internal/" and "app://external/" to folders of the
// working directory; other "app:" paths map to the empty path; anything else is unchanged.
String bbPathToFilePath(String path);
// Opens a mapped file path (not a scheme path) with a C mode; null for the empty path or failure.
std::FILE* bbOpenFilePath(String filePath, String mode);
// Reads an open file to its end into a new malloc'd buffer (never null, even for 0 bytes);
// *length receives the size.
unsigned char* bbReadWholeFile(std::FILE* file, int* length);
// Writes the state string to the state file: 0, -1 when it cannot be created, -2 when not all of
// it could be written. On failure the previous state file is left intact; a state file that is
// there but cannot be read is never replaced (-1).
int bbSaveStateFile(const String& state);
// Largest state file read: a complete save of the game takes about 250 KB at most.
constexpr std::size_t kMaxStateFileBytes = 4 * 1024 * 1024;
// The decoded state file, or the empty string when there is none, it cannot be read or it is
// larger than kMaxStateFileBytes.
String bbLoadStateFile();
