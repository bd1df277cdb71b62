// string.h: the runtime's immutable, reference-counted string of 16-bit units.
//
// Copies share one representation; every empty string shares a static one that is never freed.
// Strings are not collected objects and are never marked.
// Depends on: nothing of the runtime but the forward declaration of Array. Single-threaded:
// reference counts are plain ints.
#pragma once

#include <cstdio>
#include <string>

typedef char16_t Char;

template <class T>
class Array;

class String {
 public:
  // One block: the count and length, then length 16-bit units, no terminator.
  struct Rep {
    int refs;
    int length;

    Char* data() { return reinterpret_cast<Char*>(this + 1); }
    const Char* data() const { return reinterpret_cast<const Char*>(this + 1); }
    // The shared empty representation (the only one of length 0) is never counted, so it can
    // never be freed.
    void retain() {
      if (this != &nullRep) ++refs;
    }
    // Drops one reference; frees the block when none is left.
    void release();
    // A new representation of length units (> 0) with one reference.
    static Rep* alloc(int length);
  };

  // A temporary narrow copy for calls into the platform: each unit's low byte, then a 0 byte.
  template <class C>
  class CString;

  static Rep nullRep;
  // Set to "Invalid UTF-8" when Load fell back to one unit per byte; cleared by every Load.
  static const char* loadError;

  String() : rep_(&nullRep) {}
  String(const Char* units, int length);
  // Widens each byte as a signed value; meant for ASCII literals.
  String(const char* text);
  explicit String(int n);
  explicit String(float f);
  String(const String& other) : rep_(other.rep_) { rep_->retain(); }
  String(String&& other) noexcept : rep_(other.rep_) { other.rep_ = &nullRep; }
  ~String() { rep_->release(); }
  String& operator=(const String& other);
  String& operator=(String&& other) noexcept;

  // Decodes UTF-8 text (as a C++ std::string) into units, replacing nothing: used for our own
  // literals and file names; invalid input takes the one-unit-per-byte fallback of Load.
  static String FromUtf8(const std::string& bytes);
  // Decodes a whole file: a UTF-16 byte-order mark in either order, else UTF-8 with an optional
  // byte-order mark and a one-unit-per-byte fallback for invalid data.
  static String Load(std::FILE* file);
  // Decodes bytes exactly as Load decodes a file's content.
  static String Decode(const unsigned char* bytes, std::size_t length);

  int Length() const { return rep_->length; }
  int operator[](int index) const { return rep_->data()[index]; }
  const Char* Data() const { return rep_->data(); }
  // True when both share one representation (used to check the no-copy paths).
  bool SharesRep(const String& other) const { return rep_ == other.rep_; }

  bool operator==(const String& other) const;
  bool operator!=(const String& other) const { return !(*this == other); }
  String operator+(const String& other) const;
  String& operator+=(const String& other) { return *this = *this + other; }

  // Index of the first occurrence of find at or after start, or -1.
  int Find(const String& find, int start = 0) const;
  bool Contains(const String& find) const { return Find(find) != -1; }
  bool StartsWith(const String& prefix) const;
  // Units from..to-1, clamped to the string.
  String Slice(int from, int to) const;
  String Slice(int from) const { return Slice(from, Length()); }
  Array<String> Split(const String& separator) const;
  String Replace(const String& find, const String& with) const;
  // The leading decimal integer of the first 63 units, as the C library's atoi reads it.
  int ToInt() const;
  // Each unit on its own as one, two or three UTF-8 bytes (surrogates are not combined).
  std::string ToUtf8() const;
  // Each unit's low byte.
  std::string ToNarrow() const;

 private:
  explicit String(Rep* rep) : rep_(rep) {}
  Rep* rep_;
};

template <>
class String::CString<char> {
 public:
  explicit CString(const String& s);
  CString(const CString& other) : block_(other.block_) { ++block_->refs; }
  CString& operator=(const CString&) = delete;
  ~CString();
  operator const char*() const { return block_->bytes(); }

 private:
  struct Block {
    int refs;
    char* bytes() { return reinterpret_cast<char*>(this + 1); }
  };
  Block* block_;
};

// Appends the UTF-8 bytes of one 16-bit unit (1 to 3 bytes).
void bbUtf8Append(std::string& out, unsigned unit);
