#pragma once

#include <cairo/cairo.h>

#include <cstdint>
#include <cstring>
#include <vector>

// A PNG picture decoded with cairo, read pixel by pixel.
class PngPixels {
 public:
  explicit PngPixels(const std::vector<uint8_t>& png) {
    Reader reader{png, 0};
    surface_ = cairo_image_surface_create_from_png_stream(read, &reader);
  }
  ~PngPixels() { cairo_surface_destroy(surface_); }
  PngPixels(const PngPixels&) = delete;
  PngPixels& operator=(const PngPixels&) = delete;

  bool valid() const { return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS; }
  int width() const { return valid() ? cairo_image_surface_get_width(surface_) : 0; }
  int height() const { return valid() ? cairo_image_surface_get_height(surface_) : 0; }

  // The colour at a pixel as 0xRRGGBB; 0xFFFFFFFF outside the picture.
  uint32_t at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return 0xFFFFFFFF;
    const unsigned char* row =
        cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
    uint32_t pixel = 0;
    std::memcpy(&pixel, row + 4 * x, sizeof(pixel));
    return pixel & 0xFFFFFF;
  }

 private:
  struct Reader {
    const std::vector<uint8_t>& bytes;
    size_t offset;
  };
  static cairo_status_t read(void* closure, unsigned char* data, unsigned int length) {
    auto* reader = static_cast<Reader*>(closure);
    if (reader->bytes.size() - reader->offset < length) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, reader->bytes.data() + reader->offset, length);
    reader->offset += length;
    return CAIRO_STATUS_SUCCESS;
  }

  cairo_surface_t* surface_;
};
