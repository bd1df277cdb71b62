// string.cpp: string construction, formatting, searching and decoding.
#include "string.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "array.h"

String::Rep String::nullRep = {0, 0};
const char* String::loadError = nullptr;

void String::Rep::release() {
  if (this != &nullRep && --refs == 0) std::free(this);
}

String::Rep* String::Rep::alloc(int length) {
  Rep* rep = static_cast<Rep*>(std::malloc(sizeof(Rep) + sizeof(Char) * static_cast<size_t>(length)));
  if (!rep) std::abort();
  rep->refs = 1;
  rep->length = length;
  return rep;
}

String::String(const Char* units, int length) : rep_(&nullRep) {
  if (length <= 0) return;
  rep_ = Rep::alloc(length);
  std::memcpy(rep_->data(), units, sizeof(Char) * static_cast<size_t>(length));
}

String::String(const char* text) : rep_(&nullRep) {
  int length = text ? static_cast<int>(std::strlen(text)) : 0;
  if (length == 0) return;
  rep_ = Rep::alloc(length);
  for (int i = 0; i < length; ++i)
    rep_->data()[i] = static_cast<Char>(static_cast<signed char>(text[i]));
}

String::String(int n) : String("") {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%i", n);
  *this = String(buf);
}

String::String(float f) : String("") {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17lg", static_cast<double>(f));
  if (!std::strchr(buf, '.') && !std::strchr(buf, 'e')) std::strcat(buf, ".0");
  *this = String(buf);
}

String& String::operator=(const String& other) {
  other.rep_->retain();
  rep_->release();
  rep_ = other.rep_;
  return *this;
}

String& String::operator=(String&& other) noexcept {
  if (this != &other) {
    rep_->release();
    rep_ = other.rep_;
    other.rep_ = &nullRep;
  }
  return *this;
}

bool String::operator==(const String& other) const {
  if (rep_ == other.rep_) return true;
  if (Length() != other.Length()) return false;
  return std::memcmp(Data(), other.Data(), sizeof(Char) * static_cast<size_t>(Length())) == 0;
}

String String::operator+(const String& other) const {
  if (Length() == 0) return other;
  if (other.Length() == 0) return *this;
  Rep* rep = Rep::alloc(Length() + other.Length());
  std::memcpy(rep->data(), Data(), sizeof(Char) * static_cast<size_t>(Length()));
  std::memcpy(rep->data() + Length(), other.Data(), sizeof(Char) * static_cast<size_t>(other.Length()));
  return String(rep);
}

int String::Find(const String& find, int start) const {
  if (start < 0) start = 0;
  int n = find.Length();
  for (int i = start; i + n <= Length(); ++i) {
    if (std::memcmp(Data() + i, find.Data(), sizeof(Char) * static_cast<size_t>(n)) == 0) return i;
  }
  return -1;
}

bool String::StartsWith(const String& prefix) const {
  return prefix.Length() <= Length() &&
         std::memcmp(Data(), prefix.Data(), sizeof(Char) * static_cast<size_t>(prefix.Length())) == 0;
}

String String::Slice(int from, int to) const {
  if (from < 0) from = 0;
  if (to > Length()) to = Length();
  if (from == 0 && to == Length()) return *this;
  if (to <= from) return String();
  return String(Data() + from, to - from);
}

Array<String> String::Split(const String& separator) const {
  if (separator.Length() == 0) {
    Array<String> units(Length());
    for (int i = 0; i < Length(); ++i) units[i] = String(Data() + i, 1);
    return units;
  }
  std::vector<int> cuts;
  for (int at = Find(separator); at != -1; at = Find(separator, at + separator.Length()))
    cuts.push_back(at);
  if (Length() == 0) return Array<String>();
  Array<String> pieces(static_cast<int>(cuts.size()) + 1);
  int from = 0;
  for (size_t i = 0; i < cuts.size(); ++i) {
    pieces[static_cast<int>(i)] = Slice(from, cuts[i]);
    from = cuts[i] + separator.Length();
  }
  pieces[static_cast<int>(cuts.size())] = Slice(from);
  return pieces;
}

String String::Replace(const String& find, const String& with) const {
  // An empty search text would match everywhere without advancing; leave the string as it is.
  if (find.Length() == 0) return *this;
  int at = Find(find);
  if (at == -1) return *this;
  std::u16string out;
  int from = 0;
  for (; at != -1; at = Find(find, from)) {
    out.append(Data() + from, Data() + at);
    out.append(with.Data(), with.Data() + with.Length());
    from = at + find.Length();
  }
  out.append(Data() + from, Data() + Length());
  return String(out.data(), static_cast<int>(out.size()));
}

int String::ToInt() const {
  char buf[64];
  int n = Length() < 63 ? Length() : 63;
  for (int i = 0; i < n; ++i) buf[i] = static_cast<char>((*this)[i] & 0xff);
  buf[n] = 0;
  // atoi's behaviour is undefined past the int range; saturate instead.
  long v = std::strtol(buf, nullptr, 10);
  if (v > 0x7fffffffL) return 0x7fffffff;
  if (v < -0x7fffffffL - 1) return -0x7fffffff - 1;
  return static_cast<int>(v);
}

void bbUtf8Append(std::string& out, unsigned unit) {
  if (unit < 0x80) {
    out += static_cast<char>(unit);
  } else if (unit < 0x800) {
    out += static_cast<char>(0xc0 | (unit >> 6));
    out += static_cast<char>(0x80 | (unit & 0x3f));
  } else {
    out += static_cast<char>(0xe0 | (unit >> 12));
    out += static_cast<char>(0x80 | ((unit >> 6) & 0x3f));
    out += static_cast<char>(0x80 | (unit & 0x3f));
  }
}

std::string String::ToUtf8() const {
  std::string out;
  out.reserve(static_cast<size_t>(Length()));
  for (int i = 0; i < Length(); ++i) bbUtf8Append(out, static_cast<unsigned>((*this)[i]));
  return out;
}

std::string String::ToNarrow() const {
  std::string out(static_cast<size_t>(Length()), '\0');
  for (int i = 0; i < Length(); ++i) out[static_cast<size_t>(i)] = static_cast<char>((*this)[i] & 0xff);
  return out;
}

String String::Decode(const unsigned char* p, size_t n) {
  loadError = nullptr;
  if (n == 0) return String();
  std::u16string units;
  if (n >= 2 && p[0] == 0xfe && p[1] == 0xff) {
    for (size_t i = 2; i + 1 < n; i += 2) units += static_cast<Char>((p[i] << 8) | p[i + 1]);
  } else if (n >= 2 && p[0] == 0xff && p[1] == 0xfe) {
    for (size_t i = 2; i + 1 < n; i += 2) units += static_cast<Char>(p[i] | (p[i + 1] << 8));
  } else {
    size_t start = (n > 2 && p[0] == 0xef && p[1] == 0xbb && p[2] == 0xbf) ? 3 : 0;
    auto cont = [&](size_t i) { return i < n && (p[i] & 0xc0) == 0x80; };
    bool ok = true;
    for (size_t i = start; i < n && ok;) {
      unsigned b0 = p[i];
      if (b0 < 0x80) {
        units += static_cast<Char>(b0);
        i += 1;
      } else if ((b0 & 0xe0) == 0xc0 && cont(i + 1)) {
        units += static_cast<Char>(((b0 & 0x1f) << 6) | (p[i + 1] & 0x3f));
        i += 2;
      } else if ((b0 & 0xf0) == 0xe0 && cont(i + 1) && cont(i + 2)) {
        units += static_cast<Char>(((b0 & 0x0f) << 12) | ((p[i + 1] & 0x3f) << 6) | (p[i + 2] & 0x3f));
        i += 3;
      } else {
        ok = false;
      }
    }
    if (!ok) {
      loadError = "Invalid UTF-8";
      units.assign(p + start, p + n);
    }
  }
  return String(units.data(), static_cast<int>(units.size()));
}

String String::FromUtf8(const std::string& bytes) {
  const char* saved = loadError;
  String s = Decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  // Our own texts never begin with a byte-order mark; keep Load's error indication untouched.
  loadError = saved;
  return s;
}

String String::Load(std::FILE* file) {
  std::vector<unsigned char> bytes;
  unsigned char block[4096];
  for (;;) {
    size_t n = std::fread(block, 1, sizeof block, file);
    bytes.insert(bytes.end(), block, block + n);
    if (n < sizeof block) break;
  }
  return Decode(bytes.data(), bytes.size());
}

String::CString<char>::CString(const String& s) {
  block_ = static_cast<Block*>(std::malloc(sizeof(Block) + static_cast<size_t>(s.Length()) + 1));
  if (!block_) std::abort();
  block_->refs = 1;
  for (int i = 0; i < s.Length(); ++i) block_->bytes()[i] = static_cast<char>(s[i] & 0xff);
  block_->bytes()[s.Length()] = 0;
}

String::CString<char>::~CString() {
  if (--block_->refs == 0) std::free(block_);
}
