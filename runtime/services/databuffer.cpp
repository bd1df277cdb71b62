// databuffer.cpp: byte buffers.
#include "databuffer.h"

#include <cstdlib>
#include <cstring>

#include "runtime/host/game.h"
#include "thread.h"

BBDataBuffer::~BBDataBuffer() { std::free(data); }

bool BBDataBuffer::_New(int newLength, void* newData) {
  if (data || newLength < 0) return false;
  if (!newData) {
    newData = std::calloc(newLength ? static_cast<size_t>(newLength) : 1, 1);
    if (!newData) return false;
  }
  data = static_cast<unsigned char*>(newData);
  length = newLength;
  return true;
}

bool BBDataBuffer::_Load(String path) {
  if (data) return false;
  int n = 0;
  unsigned char* loaded = BBGame::_game->LoadData(path, &n);
  if (!loaded) return false;
  data = loaded;
  length = n;
  return true;
}

void BBDataBuffer::_LoadAsync(String path, BBThread* thread) {
  if (_Load(path)) thread->SetResult(this);
}

void BBDataBuffer::Discard() {
  std::free(data);
  data = nullptr;
  length = 0;
}

void BBDataBuffer::PokeByte(int offset, int value) {
  if (Fits(offset, 1)) data[offset] = static_cast<unsigned char>(value);
}

void BBDataBuffer::PokeShort(int offset, int value) {
  if (!Fits(offset, 2)) return;
  data[offset] = static_cast<unsigned char>(value);
  data[offset + 1] = static_cast<unsigned char>(value >> 8);
}

void BBDataBuffer::PokeInt(int offset, int value) {
  if (!Fits(offset, 4)) return;
  unsigned v = static_cast<unsigned>(value);
  for (int i = 0; i < 4; ++i) data[offset + i] = static_cast<unsigned char>(v >> (8 * i));
}

void BBDataBuffer::PokeFloat(int offset, float value) {
  unsigned bits;
  std::memcpy(&bits, &value, 4);
  PokeInt(offset, static_cast<int>(bits));
}

int BBDataBuffer::PeekByte(int offset) const {
  return Fits(offset, 1) ? static_cast<signed char>(data[offset]) : 0;
}

int BBDataBuffer::PeekShort(int offset) const {
  if (!Fits(offset, 2)) return 0;
  return static_cast<short>(data[offset] | (data[offset + 1] << 8));
}

int BBDataBuffer::PeekInt(int offset) const {
  if (!Fits(offset, 4)) return 0;
  unsigned v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<unsigned>(data[offset + i]) << (8 * i);
  return static_cast<int>(v);
}

float BBDataBuffer::PeekFloat(int offset) const {
  unsigned bits = static_cast<unsigned>(PeekInt(offset));
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}
