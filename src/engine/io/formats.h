#pragma once
// Choosing a codec: by content when reading, by format code when writing.
#include <string_view>

#include "engine/codecs/codec.h"

namespace zelmar {

enum class FileType { Bmp, Pcx, Tiff, Jpeg, Targa, Cmp };

// Recognises the format by its signature; Targa, which has none, is taken
// only when `extension` (with or without the dot, any case) is tga/targa/
// vda/icb/vst. Returns false when nothing matches.
bool detectType(Bytes data, std::string_view extension, FileType& type);

// Decodes `data` with the codec its content names. Errors: EmptyFile,
// UnknownFormat, or the codec's own. Never throws.
Status decodeAny(Bytes data, std::string_view extension, const Limits& limits, Decoded& out);

// The codec of a save format code (6 BMP, 1 PCX, 3 TIFF, 21 JPEG, 4 Targa,
// 5 CMP); false for any other code.
bool typeForSaveCode(int formatCode, FileType& type);

// Encodes `picture` in the format of `formatCode`. Errors: NoPicture,
// UnsupportedFormat for a code we do not write, or the codec's own. Never throws.
Status encodeAs(const Picture& picture, int formatCode, const EncodeOptions& options,
                OutputBuffer& out);

}  // namespace zelmar
