// string_fuzz.cpp: text decoding (String::Load and String::Decode) on arbitrary bytes.
//
// Promises checked: Load of a file decodes exactly as Decode of its bytes, with the same error
// indication; never more units than bytes; the fallback keeps one unit per byte; text that decoded
// as UTF-8 survives re-encoding; splitting at '|' and joining again restores the text.
#include "fuzz_support.h"
#include "runtime/object/array.h"
#include "runtime/object/gc.h"
#include "runtime/object/string.h"

namespace {

void Check(const uint8_t* data, size_t size) {
  String decoded = String::Decode(data, size);
  const char* error = String::loadError;

  std::FILE* file = bbFuzzOpen(data, size);
  FUZZ_CHECK(file != nullptr);
  String loaded = String::Load(file);
  std::fclose(file);
  FUZZ_CHECK(loaded == decoded);
  FUZZ_CHECK(String::loadError == error);
  FUZZ_CHECK(size_t(decoded.Length()) <= size);

  bool utf16 = size >= 2 && ((data[0] == 0xfe && data[1] == 0xff) || (data[0] == 0xff && data[1] == 0xfe));
  bool bom8 = size > 2 && data[0] == 0xef && data[1] == 0xbb && data[2] == 0xbf;
  if (utf16) {
    FUZZ_CHECK(error == nullptr);
    FUZZ_CHECK(size_t(decoded.Length()) == (size - 2) / 2);
  } else if (error) {
    size_t start = bom8 ? 3 : 0;
    FUZZ_CHECK(size_t(decoded.Length()) == size - start);
    for (int i = 0; i < decoded.Length(); ++i) FUZZ_CHECK(decoded[i] == data[start + size_t(i)]);
  } else if (decoded.Length() > 0 && decoded[0] != 0xfeff) {
    // A leading U+FEFF would re-encode as a byte-order mark and be skipped.
    std::string utf8 = decoded.ToUtf8();
    FUZZ_CHECK(String::Decode(reinterpret_cast<const unsigned char*>(utf8.data()), utf8.size()) == decoded);
  }

  // The state file is cut at '|' into fields; the pieces and separators must give the text back.
  if (decoded.Length() <= 65536) {
    Array<String> parts = decoded.Split(String("|"));
    String joined;
    for (int i = 0; i < parts.Length(); ++i) joined += (i ? String("|") : String()) + parts[i];
    FUZZ_CHECK(joined == decoded);
    for (int i = 0; i < parts.Length(); ++i) (void)parts[i].ToInt();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gc_init();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Check(data, size);
  // The split arrays are collected objects; nothing refers to them any more.
  gc_collect();
  return 0;
}
