#include "graphics/resources.h"

#include <gtest/gtest.h>

#include "graphics/bitmap.h"

namespace zef {
namespace {

// The test program's resources come from tests/support/test_resgen.cpp, drawn at build time.
TEST(Resources, FoundByNameIgnoringCase) {
  const TResourceEntry* E = FindResource("testbmp");
  ASSERT_NE(E, nullptr);
  EXPECT_EQ(E->Width, 5);
  EXPECT_EQ(E->Height, 3);
  EXPECT_FALSE(E->IsCursor);
  TBitmap B;
  ASSERT_TRUE(LoadResourceBitmap("TESTBMP", B));
  EXPECT_EQ(B.GetPixel(0, 0), clRed);
  EXPECT_EQ(B.GetPixel(4, 2), clBlue);
  EXPECT_FALSE(LoadResourceBitmap("NOSUCHNAME", B));
  EXPECT_EQ(B.Width(), 5);  // unchanged
}

TEST(Resources, CursorsCarryHotSpotAndTransparency) {
  const TResourceEntry* E = FindResource("TESTCURSOR");
  ASSERT_NE(E, nullptr);
  EXPECT_TRUE(E->IsCursor);
  EXPECT_EQ(E->HotX, 0);
  TBitmap B;
  ASSERT_TRUE(LoadResourceBitmap("TestCursor", B));
  EXPECT_TRUE(B.Transparent());
  EXPECT_EQ(B.TransparentColor(), clFuchsia);
  EXPECT_EQ(B.GetPixel(3, 3), clBlack);
  const auto Names = ResourceNames();
  EXPECT_NE(std::find(Names.begin(), Names.end(), "TESTBMP"), Names.end());
}

} // namespace
} // namespace zef
