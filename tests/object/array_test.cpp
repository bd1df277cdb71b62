// Arrays: initial element values, sharing, slicing and debugger value texts.
#include <gtest/gtest.h>

#include "runtime/object/array.h"
#include "runtime/object/object.h"

namespace {

TEST(Arrays, ElementsStartEmpty) {
  gc_init();
  Array<int> ints(5);
  Array<float> floats(3);
  Array<bool> bools(33);
  Array<String> strings(4);
  Array<Object*> objects(2);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ints[i], 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(floats[i], 0.0f);
  for (int i = 0; i < 33; ++i) EXPECT_FALSE(bools[i]);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(strings[i].SharesRep(String()));
  EXPECT_EQ(objects[0], nullptr);
}

TEST(Arrays, CopiesShareAndSlicesCopy) {
  Array<int> a(4);
  Array<int> b = a;
  b[2] = 9;
  EXPECT_EQ(a[2], 9);
  Array<int> s = a.Slice(1, 10);
  ASSERT_EQ(s.Length(), 3);
  EXPECT_EQ(s[1], 9);
  s[1] = 1;
  EXPECT_EQ(a[2], 9);
  EXPECT_EQ(a.Slice(3, 1).GetRep(), &Array<int>::nullRep);
}

TEST(DebugValues, QuotesAndEscapes) {
  String s = String("say \"hi\"\t\n\r");
  EXPECT_EQ(dbg_value(&s).ToNarrow(), "\"say ~qhi~q~t~n~r\"");
  Object* o = new Object;
  EXPECT_EQ(o->debug().ToNarrow(), "+Object\n");
  EXPECT_TRUE(o->Equals(o));
}

}  // namespace
