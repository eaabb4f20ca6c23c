// DESKTOP "snapshot" on the desktop model: the main window as drawn, title band included,
// with the buttons where the main window places them.

#include "support/PngPixels.h"
#include "tests/e2e/HostTestSupport.h"

namespace {

class WindowSnapshotEndToEnd : public SharedHostTest<WindowSnapshotEndToEnd> {};

TEST_F(WindowSnapshotEndToEnd, TheMainWindowShowsItsThreeButtonsAtTheirPlaces) {
  const auto reply = client()->desktop("snapshot");
  const auto* value = std::get_if<EncodableValue>(&reply);
  const auto* bytes = value ? std::get_if<std::vector<uint8_t>>(value) : nullptr;
  ASSERT_NE(bytes, nullptr);
  const PngPixels picture(*bytes);
  ASSERT_TRUE(picture.valid());
  // 800 x 628 points on the default screen of 2 pixels per point; buttons centred 16
  // points below the top at x 17, 37 and 57.
  EXPECT_EQ(picture.width(), 1600);
  EXPECT_EQ(picture.height(), 1256);
  EXPECT_EQ(picture.at(34, 32), 0xFF5F57u);
  EXPECT_EQ(picture.at(74, 32), 0xFEBC2Eu);
  EXPECT_EQ(picture.at(114, 32), 0x28C840u);
  EXPECT_EQ(picture.at(54, 32), 0x2B2B2Bu);
}

TEST_F(WindowSnapshotEndToEnd, AnUnknownWindowIsRefused) {
  const auto reply = client()->desktop("snapshot", EncodableMap{{"window", int32_t{9999}}});
  const auto* error = std::get_if<FlutterError>(&reply);
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->code, "bad-arguments");
}

}  // namespace
