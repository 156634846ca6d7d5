// The rescaling arithmetic: scales from dialog-unit and pixel pairs, truncation.
#include "updatewizard/skinreposition.h"

#include <gtest/gtest.h>

namespace {

TEST(SkinRepositionTest, ScalesTowardTheDesignedPixels) {
  struct Case {
    const char* name;
    ZKRect units, pixels;
    float scale_x, scale_y;
  } cases[] = {
      {"the design itself", {0, 0, 1000, 1000}, {0, 0, 1750, 1500}, 1.0f, 1.0f},
      {"twice the design", {0, 0, 1000, 1000}, {0, 0, 3500, 3000}, 0.5f, 0.5f},
      {"smaller font", {0, 0, 1000, 1000}, {0, 0, 1500, 1625}, 1.75f / 1.5f, 1.5f / 1.625f},
      {"offset rectangles", {10, 20, 1010, 1020}, {5, 5, 1755, 1505}, 1.0f, 1.0f},
      {"empty unit extent counts as 1", {0, 0, 0, -5}, {0, 0, 1750, 1500}, 0.001f, 0.001f},
      {"actual factor 0 counts as 1", {0, 0, 1000, 1000}, {0, 0, 0, 0}, 1.75f, 1.5f},
  };
  for (const Case& c : cases) {
    CDialogCtrlReposition reposition;
    reposition.ComputeScale(c.units, c.pixels);
    EXPECT_FLOAT_EQ(c.scale_x, reposition.GetScaleX()) << c.name;
    EXPECT_FLOAT_EQ(c.scale_y, reposition.GetScaleY()) << c.name;
  }
}

TEST(SkinRepositionTest, ConstructedScaleIsOne) {
  CDialogCtrlReposition reposition;
  EXPECT_EQ(1.0f, reposition.GetScaleX());
  EXPECT_EQ(1.0f, reposition.GetScaleY());
  ZKRect same = reposition.ScaleRect({3, 4, 55, 66});
  EXPECT_EQ(3, same.left);
  EXPECT_EQ(66, same.bottom);
}

TEST(SkinRepositionTest, ScaledCoordinatesTruncateTowardZero) {
  CDialogCtrlReposition reposition;
  reposition.ComputeScale({0, 0, 1000, 1000}, {0, 0, 3500, 1000});  // 0.5 across, 1.5 down
  ZKRect scaled = reposition.ScaleRect({11, 3, -11, -3});
  EXPECT_EQ(5, scaled.left);
  EXPECT_EQ(4, scaled.top);  // 4.5
  EXPECT_EQ(-5, scaled.right);
  EXPECT_EQ(-4, scaled.bottom);
}

}  // namespace
