// databuffer.h: BBDataBuffer, a raw block of bytes with little-endian typed peek and poke.
//
// Depends on: the object runtime, the host (file loading). Must not touch: graphics or audio.
#pragma once

#include "runtime/object/object.h"

class BBThread;

class BBDataBuffer : public Object {
 public:
  ~BBDataBuffer() override;

  // Takes data (allocated with malloc), or allocates length zeroed bytes when data is null.
  // False when the buffer already holds data or length is negative.
  bool _New(int length, void* data = nullptr);
  // Loads a whole file through the host; false when it already holds data or the file is missing.
  bool _Load(String path);
  // Loads on the calling thread and hands the buffer to thread as its result on success.
  void _LoadAsync(String path, BBThread* thread);
  void Discard();

  int Length() const { return length; }
  unsigned char* ReadPointer(int offset) const { return data + offset; }
  unsigned char* WritePointer(int offset) { return data + offset; }

  // Values are little-endian at a byte offset. Accesses that do not lie wholly inside the buffer
  // are ignored (pokes) or read as 0 (peeks) rather than touching memory outside it.
  void PokeByte(int offset, int value);
  void PokeShort(int offset, int value);
  void PokeInt(int offset, int value);
  void PokeFloat(int offset, float value);
  int PeekByte(int offset) const;
  int PeekShort(int offset) const;
  int PeekInt(int offset) const;
  float PeekFloat(int offset) const;

  unsigned char* data = nullptr;  // owned, malloc'd; null when empty
  int length = 0;

 private:
  bool Fits(int offset, int size) const { return offset >= 0 && size <= length && offset <= length - size; }
};
