#pragma once
// A shown control on the offscreen platform, and what it puts on screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <memory>
#include <vector>

#include "engine/core/picture.h"
#include "engine/qt/image_control.h"
#include "support/pictures.h"

namespace zelmar::test {

inline Rgb rgbOf(QRgb c) { return {uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c))}; }
inline QString qpath(const std::string& s) { return QString::fromStdString(s); }
inline constexpr Rgb kBack{0x40, 0x40, 0x40};  // the default BackColor

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
  // Each spot of the screen within `tolerance` of its colour.
  struct Spot {
    int x, y;
    Rgb colour;
  };
  void expectShows(const std::vector<Spot>& spots, int tolerance = 0) {
    const QImage shot = screen();
    for (const auto& [x, y, c] : spots)
      EXPECT_TRUE(closeColours(solid(1, 1, rgbOf(shot.pixel(x, y))), solid(1, 1, c), tolerance))
          << "at " << x << "," << y;
  }

  std::unique_ptr<ImageControl> control;
};

}  // namespace zelmar::test
