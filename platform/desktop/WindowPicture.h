#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/CoreGraphics/CGGeometry.h"

class NSWindow;

namespace platform {

// What a window shows, the same on every desktop: until an engine draws, its content is a
// plain background, title band included (the title bar is transparent over full-size
// content); the standard buttons are discs 12 points across centred in their boxes, in
// their colours while the window is key and grey otherwise.
struct WindowPicture {
  static constexpr uint32_t kBackground = 0x2B2B2B;
  static constexpr uint32_t kCloseColour = 0xFF5F57;
  static constexpr uint32_t kMiniaturizeColour = 0xFEBC2E;
  static constexpr uint32_t kZoomColour = 0x28C840;
  static constexpr uint32_t kInactiveColour = 0xDDDDDC;
  static constexpr CGFloat kDiscDiameter = 12;

  struct Disc {
    // The centre in points from the window's top-left corner, y downward.
    CGPoint centre;
    uint32_t rgb;
  };

  CGSize size{};
  std::vector<Disc> buttons;

  // The picture of `window` as it is now: its frame's size, its buttons where their
  // frames put them. Main thread only.
  static WindowPicture of(const NSWindow& window);
  // The standard buttons' boxes, in points from the window's top-left corner, y downward,
  // in the order close, miniaturize, zoom (absent buttons are left out).
  static std::vector<std::pair<unsigned, CGRect>> buttonBoxes(const NSWindow& window);
};

// Paints `picture` on `cairo`, whose user space is in points.
void paintWindowPicture(cairo_t* cairo, const WindowPicture& picture);
// The picture rendered at `scale` pixels per point, as PNG bytes.
std::vector<uint8_t> renderWindowPicture(const WindowPicture& picture, double scale);
// The PNG bytes of a cairo image surface.
std::vector<uint8_t> encodePNG(cairo_surface_t* surface);

// `draw` run on a new surface of `width` x `height` pixels of `format`, in points scaled by
// `scale`, encoded as PNG.
std::vector<uint8_t> drawnPNG(int width, int height, double scale, cairo_format_t format,
                              const std::function<void(cairo_t*)>& draw);

}  // namespace platform
