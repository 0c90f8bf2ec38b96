#include "files/format_name.h"

namespace files {
namespace {

// Looked up in this order, the first match winning; the last five name the
// formats read beyond the six the viewer writes.
constexpr struct {
  int16_t code;
  const char* name;
} kNames[] = {
    {5, "CMP"},
    {10, "JPEG YUV 4:4:4"},
    {23, "JPEG YUV 4:2:2"},
    {21, "JPEG YUV 4:1:1"},
    {11, "TIF JPEG 4:4:4"},
    {24, "TIF JPEG 4:2:2"},
    {22, "TIF JPEG 4:1:1"},
    {30, "CMP NO LOSS"},
    {3, "TIFF"},
    {85, "TIFF CMYK"},
    {93, "TIFF YCbCr"},
    {87, ""},
    {88, ""},
    {95, "TIFF Format"},
    {6, "Bitmap Format"},
    {84, ""},
    {14, ""},
    {74, "Bitmap Format"},
    {91, ""},
    {92, "ICON or CUR format"},
    {57, "Kodak PhotoCD"},
    {80, ""},
    {81, ""},
    {82, ""},
    {83, "FlashPix"},
    {96, ""},
    {97, ""},
    {98, "Exif Format"},
    {1, "PCX format"},
    {4, "Targa format"},
    {56, "MacPict"},
    {200, "PNG"},
    {201, "GIF"},
    {202, "WebP"},
    {203, "HEIF"},
    {204, "AVIF"},
};

}  // namespace

QString FormatName(int16_t code) {
  for (const auto& n : kNames)
    if (n.code == code) return QString::fromLatin1(n.name);
  return QStringLiteral("Unkonwn format");  // spelt so, letter for letter
}

}  // namespace files
