#include "platform/desktop/WindowPicture.h"

#include <algorithm>
#include <cmath>

#include "platform/AppKit/NSWindow.h"

namespace platform {

namespace {

constexpr uint32_t kButtonColours[] = {
    WindowPicture::kCloseColour, WindowPicture::kMiniaturizeColour, WindowPicture::kZoomColour};

void setColour(cairo_t* cairo, uint32_t rgb) {
  cairo_set_source_rgb(cairo, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                       (rgb & 0xFF) / 255.0);
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
  auto* bytes = static_cast<std::vector<uint8_t>*>(closure);
  bytes->insert(bytes->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::vector<std::pair<unsigned, CGRect>> WindowPicture::buttonBoxes(const NSWindow& window) {
  std::vector<std::pair<unsigned, CGRect>> boxes;
  const CGFloat height = window.frame().size.height;
  for (const auto kind : {NSWindowCloseButton, NSWindowMiniaturizeButton, NSWindowZoomButton}) {
    const auto button = window.standardWindowButton(kind);
    const auto superview = button ? button->superview() : nullptr;
    if (!superview) continue;
    // The title-bar view lies in the window's upward-growing coordinates, the button in
    // the view's.
    const CGRect frame = button->frame();
    const CGFloat left = superview->frame().origin.x + frame.origin.x;
    const CGFloat top = height - (superview->frame().origin.y + CGRectGetMaxY(frame));
    boxes.emplace_back(kind, CGRectMake(left, top, frame.size.width, frame.size.height));
  }
  return boxes;
}

WindowPicture WindowPicture::of(const NSWindow& window) {
  WindowPicture picture;
  picture.size = window.frame().size;
  const bool key = window.isKeyWindow();
  for (const auto& [kind, box] : buttonBoxes(window)) {
    picture.buttons.push_back(Disc{CGPoint{CGRectGetMidX(box), CGRectGetMidY(box)},
                                   key ? kButtonColours[kind] : kInactiveColour});
  }
  return picture;
}

void paintWindowPicture(cairo_t* cairo, const WindowPicture& picture) {
  setColour(cairo, WindowPicture::kBackground);
  cairo_paint(cairo);
  for (const auto& disc : picture.buttons) {
    setColour(cairo, disc.rgb);
    cairo_arc(cairo, disc.centre.x, disc.centre.y, WindowPicture::kDiscDiameter / 2, 0, 2 * M_PI);
    cairo_fill(cairo);
  }
}

std::vector<uint8_t> renderWindowPicture(const WindowPicture& picture, double scale) {
  // No picture of a window no screen could show.
  constexpr double kLargestSide = 16384;
  const double pixelWidth = picture.size.width * scale, pixelHeight = picture.size.height * scale;
  if (!(pixelWidth <= kLargestSide && pixelHeight <= kLargestSide)) return {};
  const int width = std::max(1, static_cast<int>(std::lround(picture.size.width * scale)));
  const int height = std::max(1, static_cast<int>(std::lround(picture.size.height * scale)));
  return drawnPNG(width, height, scale, CAIRO_FORMAT_RGB24,
                  [&](cairo_t* cairo) { paintWindowPicture(cairo, picture); });
}

std::vector<uint8_t> drawnPNG(int width, int height, double scale, cairo_format_t format,
                              const std::function<void(cairo_t*)>& draw) {
  cairo_surface_t* surface = cairo_image_surface_create(format, width, height);
  cairo_t* cairo = cairo_create(surface);
  cairo_scale(cairo, scale, scale);
  draw(cairo);
  cairo_destroy(cairo);
  auto bytes = encodePNG(surface);
  cairo_surface_destroy(surface);
  return bytes;
}

std::vector<uint8_t> encodePNG(cairo_surface_t* surface) {
  std::vector<uint8_t> bytes;
  cairo_surface_flush(surface);
  if (cairo_surface_write_to_png_stream(surface, appendBytes, &bytes) != CAIRO_STATUS_SUCCESS)
    bytes.clear();
  return bytes;
}

}  // namespace platform
