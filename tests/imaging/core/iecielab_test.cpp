#include "imaging/core/iecielab.h"

#include <gtest/gtest.h>

// Expected values were worked out from the conversion formulas separately.
TEST(CIELAB, FromRGB) {
  struct Case {
    TRGB rgb;
    int l, a, b;
  };
  for (const Case& c : {Case{{0, 0, 0}, 0, 0, 0}, Case{{255, 255, 255}, 242, -24, -6},
                        Case{{0, 0, 255}, 141, 127, 78}, Case{{0, 255, 0}, 215, -128, 95},
                        Case{{255, 0, 0}, 96, 127, -128}, Case{{32, 64, 128}, 101, 62, 35},
                        Case{{5, 5, 5}, 21, -2, 0}}) {
    const TIELAB lab = IERGB2CIELAB(c.rgb);
    EXPECT_EQ(lab.l, c.l) << int(c.rgb.r) << "," << int(c.rgb.g) << "," << int(c.rgb.b);
    EXPECT_EQ(lab.a, c.a) << int(c.rgb.r) << "," << int(c.rgb.g) << "," << int(c.rgb.b);
    EXPECT_EQ(lab.b, c.b) << int(c.rgb.r) << "," << int(c.rgb.g) << "," << int(c.rgb.b);
  }
}

TEST(CIELAB, ToRGB) {
  struct Case {
    TIELAB lab;
    int r, g, b;
  };
  // -128 in a or b stands for +128; the dark branch starts below lightness 8.
  for (const Case& c : {Case{{0, 0, 0}, 0, 2, 4}, Case{{242, -25, 2}, 197, 253, 235},
                        Case{{100, -128, -128}, 213, 0, 0}, Case{{10, 20, -30}, 23, 8, 38},
                        Case{{255, 127, 127}, 255, 121, 44}, Case{{3, 0, 0}, 7, 9, 10}}) {
    const TRGB rgb = IECIELAB2RGB(c.lab);
    EXPECT_EQ(rgb.r, c.r) << int(c.lab.l) << "," << int(c.lab.a) << "," << int(c.lab.b);
    EXPECT_EQ(rgb.g, c.g) << int(c.lab.l) << "," << int(c.lab.a) << "," << int(c.lab.b);
    EXPECT_EQ(rgb.b, c.b) << int(c.lab.l) << "," << int(c.lab.a) << "," << int(c.lab.b);
  }
}
