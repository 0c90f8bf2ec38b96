#pragma once
// Choosing a codec: by content when reading, by format code when writing.
#include <string_view>

#include "engine/codecs/codec.h"

namespace zelmar {

// The formats the registry knows; PNG, GIF, WebP and HEIF (with AVIF) are
// read only, beyond the control's own table.
enum class FileType { Bmp, Pcx, Tiff, Jpeg, Targa, Cmp, Png, Gif, WebP, Heif };

// Recognises the format by its signature; Targa, which has none, is taken
// only when `extension` (with or without the dot, any case) is tga/targa/
// vda/icb/vst. Returns false when nothing matches.
bool detectType(Bytes data, std::string_view extension, FileType& type);

// Decodes `data` with the codec its content names, within the options'
// limits, transparent pixels composed over their background. Errors:
// EmptyFile, UnknownFormat, or the codec's own. Never throws.
Status decodeAny(Bytes data, std::string_view extension, const DecodeOptions& options,
                 Decoded& out);

// The codec of a save format code (6 BMP, 1 PCX, 3 TIFF, 21 JPEG, 4 Targa,
// 5 CMP); false for any other code.
bool typeForSaveCode(int formatCode, FileType& type);

// Encodes `picture` in the format of `formatCode`. Errors: NoPicture,
// UnsupportedFormat for a code we do not write, or the codec's own. Never throws.
Status encodeAs(const Picture& picture, int formatCode, const EncodeOptions& options,
                OutputBuffer& out);

}  // namespace zelmar
