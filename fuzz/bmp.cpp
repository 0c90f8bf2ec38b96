#include "codec_round_trip.h"
#include "engine/codecs/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return zelmar::fuzz::roundTrip(data, size, zelmar::bmp::decode, zelmar::bmp::encode);
}
