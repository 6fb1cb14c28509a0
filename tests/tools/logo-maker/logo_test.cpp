// The logo the build wrote: its format, and the panel colour at pixel (1,1)
// and all round the edge, which the console takes as its window colour.
#include "tools/logo-maker/logo.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#ifdef ZT_LOGO_WITH_QT
#include <QImage>
#endif

namespace zt {
namespace {

std::vector<uint8_t> builtLogo() {
  std::ifstream in(std::string(ZT_DATA_DIR) + "/logus.bmp", std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(Logo, BuiltFileIs300By60TrueColour) {
  const std::vector<uint8_t> b = builtLogo();
  ASSERT_EQ(b.size(), 54u + 900u * 60u);
  EXPECT_EQ(b, Logo_draw().bmp());  // the build's file is what the drawing gives
  EXPECT_EQ(b[18] | b[19] << 8, kLogoWidth);
  EXPECT_EQ(b[22] | b[23] << 8, kLogoHeight);
  EXPECT_EQ(b[28], 24);
}

TEST(Logo, EdgeIsThePanelColour) {
  const Canvas logo = Logo_draw();
  auto isPanel = [&](int x, int y) {
    uint8_t r, g, b;
    logo.bytes(x, y, r, g, b);
    return r == kLogoPanel.r && g == kLogoPanel.g && b == kLogoPanel.b;
  };
  EXPECT_TRUE(isPanel(1, 1));
  for (int x = 0; x < kLogoWidth; ++x) {
    EXPECT_TRUE(isPanel(x, 0) && isPanel(x, 2) && isPanel(x, kLogoHeight - 1)) << x;
  }
  for (int y = 0; y < kLogoHeight; ++y) EXPECT_TRUE(isPanel(0, y) && isPanel(kLogoWidth - 1, y));
  // Something is drawn: the pipes and letters are far from the panel colour.
  int bright = 0;
  for (int y = 0; y < kLogoHeight; ++y)
    for (int x = 0; x < kLogoWidth; ++x) bright += logo.at(x, y).r > 150;
  EXPECT_GT(bright, 2000);
}

#ifdef ZT_LOGO_WITH_QT
TEST(Logo, QtReadsThePanelColourAtOneOne) {
  QImage image(QString::fromStdString(std::string(ZT_DATA_DIR) + "/logus.bmp"));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(kLogoWidth, kLogoHeight));
  EXPECT_EQ(image.pixel(1, 1), qRgb(int(kLogoPanel.r), int(kLogoPanel.g), int(kLogoPanel.b)));
}
#endif

}  // namespace
}  // namespace zt
