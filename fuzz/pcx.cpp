#include "codec_round_trip.h"
#include "engine/codecs/pcx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return zelmar::fuzz::roundTrip(data, size, zelmar::pcx::decode, zelmar::pcx::encode);
}
