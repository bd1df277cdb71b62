// Strings: number formatting, concatenation sharing, splitting, replacing, ToInt and decoding.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/object/array.h"
#include "runtime/object/string.h"

namespace {

std::string Narrow(const String& s) { return s.ToNarrow(); }

std::vector<std::string> Pieces(const Array<String>& a) {
  std::vector<std::string> out;
  for (int i = 0; i < a.Length(); ++i) out.push_back(Narrow(a[i]));
  return out;
}

String DecodeBytes(std::vector<unsigned char> bytes) {
  return String::Decode(bytes.data(), bytes.size());
}

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
  for (const auto& row : rows) EXPECT_EQ(Narrow(row.text), row.want);
}

TEST(StringBasics, SignedWideningOfNarrowText) {
  String s("A\xe9");
  ASSERT_EQ(s.Length(), 2);
  EXPECT_EQ(s[1], 0xffe9);
}

TEST(StringBasics, EmptyStringsShareOneRepresentation) {
  EXPECT_TRUE(String().SharesRep(String("")));
  EXPECT_TRUE(String(u"", 0).SharesRep(String()));
  String s("abc");
  EXPECT_TRUE((String() + s).SharesRep(s));
  EXPECT_TRUE((s + String()).SharesRep(s));
  String t = s + String("de");
  EXPECT_EQ(Narrow(t), "abcde");
  EXPECT_FALSE(t.SharesRep(s));
}

TEST(StringBasics, CopiesOutliveTheOriginal) {
  String copy;
  {
    String original = String("left") + String("right");
    copy = original;
  }
  EXPECT_EQ(Narrow(copy), "leftright");
  copy = copy;  // self-assignment must not free the representation
  EXPECT_EQ(Narrow(copy), "leftright");
}

TEST(StringSplit, CutsAtEveryOccurrenceKeepingEmptyPieces) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Pieces(String("a,,b").Split(String(","))), (V{"a", "", "b"}));
  EXPECT_EQ(Pieces(String(",a").Split(String(","))), (V{"", "a"}));
  EXPECT_EQ(Pieces(String("a,").Split(String(","))), (V{"a", ""}));
  EXPECT_EQ(Pieces(String("abc").Split(String(","))), (V{"abc"}));
  EXPECT_EQ(Pieces(String("aXYbXYXYc").Split(String("XY"))), (V{"a", "b", "", "c"}));
  EXPECT_EQ(Pieces(String("aaa").Split(String("aa"))), (V{"", "a"})) << "matches do not overlap";
  EXPECT_EQ(Pieces(String("abc").Split(String())), (V{"a", "b", "c"}));
  EXPECT_EQ(String().Split(String(",")).Length(), 0);
  EXPECT_EQ(String().Split(String()).Length(), 0);
}

TEST(StringReplace, ReplacesNonOverlappingOccurrences) {
  EXPECT_EQ(Narrow(String("a\"b\"").Replace(String("\""), String("~q"))), "a~qb~q");
  EXPECT_EQ(Narrow(String("aaaa").Replace(String("aa"), String("b"))), "bb");
  String s("nothing");
  EXPECT_TRUE(s.Replace(String("x"), String("y")).SharesRep(s));
  EXPECT_TRUE(s.Replace(String(), String("y")).SharesRep(s)) << "an empty search must not hang";
}

TEST(StringToInt, ParsesLikeAtoi) {
  EXPECT_EQ(String("  42xyz").ToInt(), 42);
  EXPECT_EQ(String("abc").ToInt(), 0);
  EXPECT_EQ(String("-12").ToInt(), -12);
  EXPECT_EQ(String("+7").ToInt(), 7);
  EXPECT_EQ(String("").ToInt(), 0);
  EXPECT_EQ(String("99999999999").ToInt(), 2147483647) << "saturates rather than wrapping";
  // Only the low byte of each unit counts: U+0131 narrows to '1'.
  const Char units[] = {0x0131, u'2'};
  EXPECT_EQ(String(units, 2).ToInt(), 12);
  // Digits past the 63rd unit are not read.
  std::string long_number(70, '1');
  EXPECT_EQ(String(("0000000000000000000000000000000000000000000000000000000000000" + long_number).c_str()).ToInt(), 11);
}

TEST(StringDecode, ByteOrderMarksAndUtf8) {
  EXPECT_EQ(Narrow(DecodeBytes({0xef, 0xbb, 0xbf, 0x41})), "A");
  EXPECT_EQ(Narrow(DecodeBytes({0xff, 0xfe, 0x41, 0x00})), "A");
  EXPECT_EQ(Narrow(DecodeBytes({0xfe, 0xff, 0x00, 0x41})), "A");
  EXPECT_EQ(Units(DecodeBytes({0xfe, 0xff, 0xd8, 0x3d, 0xde, 0x00, 0x7a})), (std::vector<int>{0xd83d, 0xde00}))
      << "a trailing odd byte is dropped, surrogates stay separate";
  EXPECT_EQ(Units(DecodeBytes({0xc3, 0xa9, 0xe2, 0x82, 0xac})), (std::vector<int>{0xe9, 0x20ac}));
  EXPECT_EQ(Units(DecodeBytes({0xc1, 0x81})), (std::vector<int>{0x41})) << "overlong forms decode";
  EXPECT_EQ(String::loadError, nullptr);
  EXPECT_EQ(DecodeBytes({0xef, 0xbb, 0xbf}).Length(), 0);
  EXPECT_TRUE(DecodeBytes({}).SharesRep(String()));
}

TEST(StringDecode, InvalidUtf8FallsBackToOneUnitPerByte) {
  EXPECT_EQ(Units(DecodeBytes({0x41, 0xc3})), (std::vector<int>{0x41, 0xc3})) << "cut off at the end";
  EXPECT_STREQ(String::loadError, "Invalid UTF-8");
  EXPECT_EQ(Units(DecodeBytes({0xef, 0xbb, 0xbf, 0x80, 0x41})), (std::vector<int>{0x80, 0x41}))
      << "the byte-order mark stays skipped";
  EXPECT_EQ(Units(DecodeBytes({0xf0, 0x9f, 0x98, 0x80})), (std::vector<int>{0xf0, 0x9f, 0x98, 0x80}))
      << "four-byte sequences are not decoded";
  EXPECT_EQ(Units(DecodeBytes({0xe2, 0x41, 0x41})), (std::vector<int>{0xe2, 0x41, 0x41}));
  DecodeBytes({0x41});
  EXPECT_EQ(String::loadError, nullptr) << "each decode clears the indication";
}

TEST(StringDecode, LoadReadsWholeFilesAcrossBlocks) {
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "\xc3\xa9";  // 6000 bytes: more than one 4096-byte block
  std::fwrite(text.data(), 1, text.size(), f);
  std::rewind(f);
  String s = String::Load(f);
  std::fclose(f);
  ASSERT_EQ(s.Length(), 3000);
  EXPECT_EQ(s[0], 0xe9);
  EXPECT_EQ(s[2999], 0xe9);
}

TEST(StringUtf8, EachUnitEncodedOnItsOwn) {
  const Char units[] = {u'A', 0xe9, 0x20ac, 0xd83d, 0xde00};
  EXPECT_EQ(String(units, 5).ToUtf8(), "A\xc3\xa9\xe2\x82\xac\xed\xa0\xbd\xed\xb8\x80");
  EXPECT_EQ(String::FromUtf8("caf\xc3\xa9").ToUtf8(), "caf\xc3\xa9");
}

TEST(StringCString, NarrowsToLowBytes) {
  const Char units[] = {u'h', 0x0169, u'!'};
  String::CString<char> c(String(units, 3));
  EXPECT_STREQ(static_cast<const char*>(c), "hi!");
  String::CString<char> copy = c;
  EXPECT_STREQ(static_cast<const char*>(copy), "hi!");
}

}  // namespace
