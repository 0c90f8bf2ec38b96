// Fuzzes the WebP reader (libwebp, stills and animations).
#include "engine/codecs/webp.h"

#include "codec_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return zelmar::fuzz::throughPng(data, size, zelmar::webp::decode);
}
