// Arrays: initial element values, sharing, slicing and debugger value texts.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/object/array.h"
#include "runtime/object/object.h"

namespace {

TEST(Arrays, ElementsStartEmpty) {
  gc_init();
  Array<int> ints(5);
  Array<bool> bools(33);
  Array<String> strings(4);
  for (int i = 0; i < 33; ++i) EXPECT_FALSE(bools[i] || ints[i % 5] || !strings[i % 4].SharesRep(String())) << i;
}

TEST(Arrays, CopiesShareAndSlicesCopy) {
  Array<int> a(4);
  Array<int> b = a, s = a.Slice(1, 10);  // clamped to 1..3
  b[2] = 9;
  s[0] = 1;
  EXPECT_EQ((std::vector<int>{a[0], a[1], a[2], a[3], s.Length(), a.Slice(1, 3)[1]}), (std::vector<int>{0, 0, 9, 0, 3, 9}));
  EXPECT_EQ(a.Slice(3, 1).GetRep(), &Array<int>::nullRep);
}

TEST(DebugValues, StringsAreQuotedWithEscapes) {
  String s = String("say \"hi\"\t\n\r");
  EXPECT_EQ(dbg_value(&s).ToNarrow(), "\"say ~qhi~q~t~n~r\"");
}

}  // namespace
