// Strings: number formatting, concatenation sharing, splitting, replacing, ToInt and decoding.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/object/array.h"
#include "runtime/object/string.h"

namespace {

std::vector<int> Units(const String& s) {
  std::vector<int> out;
  for (int i = 0; i < s.Length(); ++i) out.push_back(s[i]);
  return out;
}

TEST(StringFormat, IntegersPrintLikePercentIAndFloatsWithSeventeenDigitsAndAPoint) {
  const struct {
    String text;
    const char* want;
  } rows[] = {
      {String(0), "0"},          {String(-2147483647 - 1), "-2147483648"}, {String(2147483647), "2147483647"},
      {String(1.0f), "1.0"},     {String(100.0f), "100.0"},                {String(-0.25f), "-0.25"},
      {String(0.1f), "0.10000000149011612"},                               {String(1e20f), "1.0000000200408773e+20"},
  };
  for (const auto& row : rows) EXPECT_EQ(row.text.ToNarrow(), row.want);
}

TEST(StringBasics, EmptyStringsShareOneRepresentationAndCopiesOutliveTheOriginal) {
  String s("abc");
  EXPECT_TRUE(String().SharesRep(String("")) && String(u"", 0).SharesRep(String()));
  EXPECT_TRUE((String() + s).SharesRep(s) && (s + String()).SharesRep(s));
  String copy;
  {
    String original = s + String("de");
    EXPECT_FALSE(original.SharesRep(s));
    copy = original;
  }
  copy = copy;  // self-assignment must not free the representation
  EXPECT_EQ(copy.ToNarrow(), "abcde");
  EXPECT_EQ(Units(String("A\xe9")), (std::vector<int>{0x41, 0xffe9})) << "narrow text widens signed";
}

TEST(StringSplit, CutsAtEveryOccurrenceKeepingEmptyPieces) {
  const struct {
    const char *text, *separator;
    std::vector<std::string> pieces;
  } rows[] = {
      {"a,,b", ",", {"a", "", "b"}}, {",a", ",", {"", "a"}},  {"a,", ",", {"a", ""}},
      {"abc", ",", {"abc"}},         {"aXYbXYXYc", "XY", {"a", "b", "", "c"}},
      {"aaa", "aa", {"", "a"}},  // matches do not overlap
      {"abc", "", {"a", "b", "c"}},  {"", ",", {}},           {"", "", {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.text) + " / " + row.separator);
    Array<String> a = String(row.text).Split(String(row.separator));
    std::vector<std::string> pieces;
    for (int i = 0; i < a.Length(); ++i) pieces.push_back(a[i].ToNarrow());
    EXPECT_EQ(pieces, row.pieces);
  }
}

TEST(StringReplace, ReplacesNonOverlappingOccurrences) {
  EXPECT_EQ(String("a\"b\"").Replace(String("\""), String("~q")).ToNarrow(), "a~qb~q");
  EXPECT_EQ(String("aaaa").Replace(String("aa"), String("b")).ToNarrow(), "bb");
  String s("nothing");
  EXPECT_TRUE(s.Replace(String("x"), String("y")).SharesRep(s));
  EXPECT_TRUE(s.Replace(String(), String("y")).SharesRep(s)) << "an empty search must not hang";
}

TEST(StringToInt, ParsesLikeAtoiAndSaturates) {
  const Char wide[] = {0x0131, u'2'};  // only the low byte of each unit counts: U+0131 reads '1'
  const struct {
    String text;
    int want;
  } rows[] = {
      {String("  42xyz"), 42}, {String("abc"), 0}, {String("-12"), -12}, {String("+7"), 7},
      {String(""), 0},         {String("99999999999"), 2147483647},        {String(wide, 2), 12},
      {String((std::string(61, '0') + std::string(70, '1')).c_str()), 11},  // units past the 63rd
  };
  for (const auto& row : rows) EXPECT_EQ(row.text.ToInt(), row.want) << row.text.ToNarrow();
}

TEST(StringDecode, ByteOrderMarksUtf8AndTheOneUnitPerByteFallback) {
  const struct {
    std::vector<unsigned char> bytes;
    std::vector<int> units;
    bool invalid;
  } rows[] = {
      {{0xef, 0xbb, 0xbf, 0x41}, {0x41}, false},  {{0x41, 0xc3}, {0x41, 0xc3}, true},  // cut off at the end
      {{0xff, 0xfe, 0x41, 0x00}, {0x41}, false},  {{0xfe, 0xff, 0x00, 0x41}, {0x41}, false},
      {{0xfe, 0xff, 0xd8, 0x3d, 0xde, 0x00, 0x7a}, {0xd83d, 0xde00}, false},  // odd byte dropped
      {{0xc3, 0xa9, 0xe2, 0x82, 0xac}, {0xe9, 0x20ac}, false},
      {{0xc1, 0x81}, {0x41}, false},  // overlong forms decode
      {{0xef, 0xbb, 0xbf}, {}, false},  // after an invalid row: each decode clears the indication
      {{0xef, 0xbb, 0xbf, 0x80, 0x41}, {0x80, 0x41}, true},  // the byte-order mark stays skipped
      {{0xf0, 0x9f, 0x98, 0x80}, {0xf0, 0x9f, 0x98, 0x80}, true},  // no four-byte sequences
      {{0xe2, 0x41, 0x41}, {0xe2, 0x41, 0x41}, true},              {{0x41}, {0x41}, false},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Units(String::Decode(rows[i].bytes.data(), rows[i].bytes.size())), rows[i].units);
    EXPECT_STREQ(String::loadError, rows[i].invalid ? "Invalid UTF-8" : nullptr);
  }
  EXPECT_TRUE(String::Decode(nullptr, 0).SharesRep(String()));
}

TEST(StringDecode, LoadReadsWholeFilesAcrossBlocks) {
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  for (int i = 0; i < 3000; ++i) std::fputs("\xc3\xa9", f);  // 6000 bytes: more than one 4096-byte block
  std::rewind(f);
  String s = String::Load(f);
  std::fclose(f);
  EXPECT_EQ(Units(s), std::vector<int>(3000, 0xe9));
}

TEST(StringCString, NarrowsToLowBytesAndCopiesShareTheBlock) {
  const Char units[] = {u'h', 0x0169, u'!'};
  String::CString<char> c(String(units, 3));
  String::CString<char> copy = c;
  EXPECT_STREQ(static_cast<const char*>(copy), "hi!");
}

}  // namespace
