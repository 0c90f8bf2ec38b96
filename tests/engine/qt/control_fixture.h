#pragma once
// A shown control on the offscreen platform, and pictures of plain colours.
#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>
#include <memory>

#include "engine/core/picture.h"
#include "engine/qt/image_control.h"

namespace zelmar::test {

// A 24-bit picture of one colour.
inline Picture solid(uint32_t w, uint32_t h, Rgb c) {
  Picture p;
  EXPECT_TRUE(Picture::create(w, h, 24, p).ok());
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      p.row(y)[3 * x] = c.r;
      p.row(y)[3 * x + 1] = c.g;
      p.row(y)[3 * x + 2] = c.b;
    }
  return p;
}

inline Rgb rgbOf(QRgb c) { return {uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c))}; }

class ControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    control = std::make_unique<ImageControl>();
    control->resize(200, 100);
    control->show();
    QApplication::processEvents();
  }
  // What the control shows now, as a person would see it.
  QImage screen() { return control->grab().toImage().convertToFormat(QImage::Format_RGB32); }
  Rgb at(int x, int y) { return rgbOf(screen().pixel(x, y)); }

  std::unique_ptr<ImageControl> control;
};

}  // namespace zelmar::test
