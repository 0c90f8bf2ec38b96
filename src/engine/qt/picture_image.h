#pragma once
// Moving pixels between the core picture and Qt images.
#include <QImage>

#include "engine/core/error.h"
#include "engine/core/picture.h"

namespace zelmar::qt {

// A QImage that shares the picture's pixels (no copy): RGB888 for 24-bit,
// Indexed8 with the palette as colour table for the palette depths. Valid
// only while the picture is alive and unchanged.
QImage wrapPicture(const Picture& picture);

// A deep full-colour copy (RGB888), for the clipboard.
QImage toRgbImage(const Picture& picture);

// The image as an 8-bit grey picture when every pixel is grey, else as a
// 24-bit one; alpha is dropped. Errors: NoPicture for a null image, or the
// size checks of Picture::create.
Status fromImage(const QImage& image, Picture& out);

}  // namespace zelmar::qt
