// audio_data.cpp: the host's sound-file entry, choosing the decoder by extension.
#include "audio_data.h"

#include "runtime/host/game.h"
#include "runtime/object/gc.h"

bool bbPathEndsWith(const String& path, const char* ext) {
  String lower(ext);
  int n = lower.Length();
  if (path.Length() < n) return false;
  for (int i = 0; i < n; ++i) {
    int c = path[path.Length() - n + i];
    if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
    if (c != lower[i]) return false;
  }
  return true;
}

unsigned char* BBGlfwGame::LoadAudioData(String path, int* length, int* channels, int* format,
                                         int* hertz) {
  std::FILE* file = OpenFile(path, String("rb"));
  if (!file) return nullptr;
  unsigned char* data = nullptr;
  if (bbPathEndsWith(path, ".wav")) {
    data = LoadWAV(file, length, channels, format, hertz);
  } else if (bbPathEndsWith(path, ".ogg")) {
    data = LoadOGG(file, length, channels, format, hertz);
  }
  std::fclose(file);
  gc_force_sweep = true;
  return data;
}
