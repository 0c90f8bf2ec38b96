// Fuzzes the GIF reader (giflib behind our frame handling).
#include "engine/codecs/gif.h"

#include "codec_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return zelmar::fuzz::throughPng(data, size, zelmar::gif::decode);
}
