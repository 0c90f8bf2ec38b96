#include "engine/codecs/bmp.h"

namespace zelmar::bmp {

bool probe(Bytes) { return false; }

Status decode(Bytes, const Limits&, Decoded&) { return {ErrorCode::Unsupported, "not written yet"}; }

Status encode(const Picture&, const EncodeOptions&, OutputBuffer&) {
  return {ErrorCode::UnsupportedFormat, "not written yet"};
}

}  // namespace zelmar::bmp
