#include "resources/generators/artwork.h"

#include <gtest/gtest.h>

namespace sg::resources {
namespace {

int Alpha(const Image& image, int x, int y) {
  return image.at(x, y).a;
}

bool AlphaIsMirrored(const Image& image) {
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width / 2; ++x) {
      if (Alpha(image, x, y) != Alpha(image, image.width - 1 - x, y)) return false;
    }
  }
  return true;
}

TEST(FillTest, EdgePixelsArePartlyCovered) {
  Image image(4, 1);
  Fill(
      image, [](double x, double) { return x < 0.375; }, Rgba{0, 0, 255, 255});
  EXPECT_EQ(image.at(0, 0), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(image.at(1, 0).b, 255) << "colour stays straight, coverage goes to alpha";
  EXPECT_NEAR(image.at(1, 0).a, 128, 1);
  EXPECT_EQ(image.at(2, 0).a, 0);
}

TEST(FillTest, PaintingOverBlendsWithWhatIsThere) {
  Image image(1, 1, Rgba{0, 0, 0, 255});
  Fill(
      image, [](double, double) { return true; }, Rgba{200, 100, 50, 128});
  EXPECT_NEAR(image.at(0, 0).r, 100, 1);
  EXPECT_NEAR(image.at(0, 0).g, 50, 1);
  EXPECT_EQ(image.at(0, 0).a, 255);
}

class ShieldIconTest : public testing::TestWithParam<int> {};

TEST_P(ShieldIconTest, OpaqueShieldOnATransparentSquare) {
  const int size = GetParam();
  const Image icon = DrawShieldIcon(size, ShieldLook::kNormal);
  ASSERT_EQ(icon.width, size);
  ASSERT_EQ(icon.height, size);
  EXPECT_EQ(Alpha(icon, 0, 0), 0);
  EXPECT_EQ(Alpha(icon, size - 1, 0), 0);
  EXPECT_EQ(Alpha(icon, 0, size - 1), 0);
  EXPECT_EQ(Alpha(icon, size - 1, size - 1), 0);
  EXPECT_EQ(Alpha(icon, size / 2, size / 2), 255);
  EXPECT_EQ(Alpha(icon, size / 2, size - 3), 255) << "the point reaches down";
  EXPECT_TRUE(AlphaIsMirrored(icon));
}

TEST_P(ShieldIconTest, LooksShareTheOutlineAndDifferInColour) {
  const int size = GetParam();
  const Image normal = DrawShieldIcon(size, ShieldLook::kNormal);
  const Image alert = DrawShieldIcon(size, ShieldLook::kAlert);
  const Image disabled = DrawShieldIcon(size, ShieldLook::kDisabled);
  const Image tools = DrawShieldIcon(size, ShieldLook::kTools);
  int blue = 0, red = 0, green = 0;
  for (std::size_t i = 0; i < normal.pixels.size(); ++i) {
    ASSERT_EQ(normal.pixels[i].a, alert.pixels[i].a);
    ASSERT_EQ(normal.pixels[i].a, disabled.pixels[i].a);
    ASSERT_EQ(normal.pixels[i].a, tools.pixels[i].a);
    const Rgba& grey = disabled.pixels[i];
    if (grey.a > 0) {
      EXPECT_EQ(grey.r, grey.g);
      EXPECT_EQ(grey.g, grey.b);
    }
    blue += normal.pixels[i].b > normal.pixels[i].r + 60;
    red += alert.pixels[i].r > alert.pixels[i].g + 60;
    green += tools.pixels[i].g > tools.pixels[i].r + 60;
  }
  // Most of the shield's face carries the look's colour.
  const int face = size * size / 3;
  EXPECT_GT(blue, face);
  EXPECT_GT(red, face);
  EXPECT_GT(green, face);
}

TEST_P(ShieldIconTest, GateBarsAreWhiteOnTheFace) {
  const int size = GetParam();
  const Image icon = DrawShieldIcon(size, ShieldLook::kNormal);
  // The middle bar runs down the centre line, the face shows beside it.
  const int y = size * 9 / 16;
  EXPECT_EQ(icon.at(size / 2, y), (Rgba{255, 255, 255, 255}));
  EXPECT_NE(icon.at(size / 2 - 2, y), (Rgba{255, 255, 255, 255}));
}

INSTANTIATE_TEST_SUITE_P(IconSizes, ShieldIconTest, testing::Values(16, 32));

TEST(WarningIconTest, DarkMarkOnAYellowTriangle) {
  const Image icon = DrawWarningIcon(32);
  EXPECT_EQ(Alpha(icon, 0, 0), 0);
  EXPECT_EQ(Alpha(icon, 31, 0), 0);
  EXPECT_EQ(Alpha(icon, 16, 0), 0) << "the apex is rounded off below the top edge";
  EXPECT_GT(Alpha(icon, 16, 2), 200);
  const Rgba dot = icon.at(16, 23);
  EXPECT_LT(dot.r + dot.g + dot.b, 150);
  const Rgba body = icon.at(10, 24);
  EXPECT_GT(body.r, 200);
  EXPECT_GT(body.g, 140);
  EXPECT_LT(body.b, 120);
  EXPECT_TRUE(AlphaIsMirrored(icon));
}

TEST(OffMarkTest, CrossInTheMiddleOfAnEmptySquare) {
  const Image mark = DrawOffMark(13);
  EXPECT_GE(Alpha(mark, 6, 6), 128);
  EXPECT_GE(Alpha(mark, 4, 4), 128);
  EXPECT_GE(Alpha(mark, 8, 4), 128);
  EXPECT_LT(Alpha(mark, 6, 4), 128) << "between the arms";
  EXPECT_EQ(Alpha(mark, 0, 0), 0);
  EXPECT_EQ(Alpha(mark, 12, 12), 0);
  EXPECT_TRUE(AlphaIsMirrored(mark));
}

TEST(PluginStatesTest, GreenCheckAndRedCrossOnMagentaWhereTheyAreNotDrawn) {
  const Image states = DrawPluginStates();
  ASSERT_EQ(states.width, 16 * kPluginStatePictures);
  ASSERT_EQ(states.height, 16);
  const Bytes bmp = EncodeBmp24(states);
  int green = 0, red = 0, differing = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const Rgba enabled = states.at(x, y);
      const Rgba disabled = states.at(16 + x, y);
      green += enabled.a >= 128 && enabled.g > enabled.r + 80 && enabled.g > enabled.b + 80;
      red += disabled.a >= 128 && disabled.r > disabled.g + 80 && disabled.r > disabled.b + 80;
      differing += (enabled.a >= 128) != (disabled.a >= 128);
      EXPECT_LT(enabled.r, 200) << "no stray red in the check mark";
      EXPECT_LT(disabled.g, 200) << "no stray green in the cross";
    }
  }
  EXPECT_GT(green, 12);
  EXPECT_GT(red, 12);
  EXPECT_GT(differing, 12) << "the two pictures have different shapes";
  // Corners of both pictures are background: magenta exactly in the bitmap (BGR, bottom row
  // first, 96 bytes a row).
  for (int x : {0, 15, 16, 31}) {
    SCOPED_TRACE(x);
    EXPECT_LT(states.at(x, 0).a, 128);
    EXPECT_LT(states.at(x, 15).a, 128);
    for (std::size_t row : {0u, 15u}) {
      const std::size_t at = 54 + row * 96 + std::size_t(x) * 3;
      EXPECT_EQ(Bytes(bmp.begin() + at, bmp.begin() + at + 3), (Bytes{255, 0, 255}));
    }
  }
}

void ExpectOpaqueFramesOnBackdrop(const std::vector<Image>& frames, Rgba backdrop) {
  for (const Image& frame : frames) {
    ASSERT_EQ(frame.width, 32);
    ASSERT_EQ(frame.height, 32);
    for (const Rgba& p : frame.pixels) ASSERT_EQ(p.a, 255);
    EXPECT_EQ(frame.at(0, 31), backdrop);
  }
}

int Covered(const Image& frame, Rgba backdrop) {
  int covered = 0;
  for (const Rgba& p : frame.pixels) covered += !(p == backdrop);
  return covered;
}

int White(const Image& frame) {
  int white = 0;
  for (const Rgba& p : frame.pixels) white += p == Rgba{255, 255, 255, 255};
  return white;
}

TEST(ClipTest, IdleClipRestsWithAGlintThenTurnsAround) {
  const Rgba backdrop{1, 2, 3, 255};
  const std::vector<Image> frames = DrawIdleClip(32, backdrop);
  ASSERT_GE(frames.size(), 8u);
  EXPECT_LE(frames.size(), 16u);
  ExpectOpaqueFramesOnBackdrop(frames, backdrop);
  const int full = Covered(frames.front(), backdrop);
  EXPECT_GT(full, 32 * 32 / 2);
  int narrowest = full, glints = 0, backs = 0;
  for (const Image& frame : frames) {
    const int covered = Covered(frame, backdrop);
    EXPECT_LE(covered, full);
    narrowest = std::min(narrowest, covered);
    glints += covered == full && frame.pixels != frames.front().pixels;
    backs += covered > full / 2 && White(frame) == 0;
  }
  EXPECT_LT(narrowest, full / 2) << "nearly edge-on during the turn";
  EXPECT_GT(glints, 0) << "a glint passes while it rests";
  EXPECT_GT(backs, 0) << "the plain back shows halfway round";
}

TEST(ClipTest, ZapClipLastsAsLongAsItIsShownAndEndsCalm) {
  const std::vector<Image> frames = DrawZapClip(32, kDialogFace);
  ExpectOpaqueFramesOnBackdrop(frames, kDialogFace);
  // The program shows this clip for 900 ms before it returns to the idle clip.
  EXPECT_EQ(frames.size() * kZapClipMicrosecondsPerFrame, 900000u);
  EXPECT_EQ(frames.back().pixels, frames.front().pixels);
  int reddest = 0;
  for (const Image& frame : frames) {
    const Rgba centre = frame.at(13, 16);  // the face between two bars
    reddest = std::max(reddest, centre.r - centre.b);
  }
  EXPECT_GT(reddest, 100) << "the shield flashes red when struck";
}

TEST(ClipTest, ClipsQuantizeWithTheBackdropExact) {
  const IndexedClip clip =
      QuantizeClip(DrawIdleClip(32), kIdleClipMicrosecondsPerFrame, {kDialogFace});
  ASSERT_FALSE(clip.frames.empty());
  EXPECT_LE(clip.palette.size(), 256u);
  EXPECT_EQ(clip.palette[clip.frames[0][0]], kDialogFace);
  EXPECT_FALSE(EncodeAvi(clip).empty());
}

}  // namespace
}  // namespace sg::resources
