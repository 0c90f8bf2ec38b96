// Fuzzes the PNG reader (libspng behind our checks), and our PNG writer on
// whatever it reads.
#include "engine/codecs/png.h"

#include "codec_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return zelmar::fuzz::throughPng(data, size, zelmar::png::decode);
}
