// Fuzzes the CMP reader, and the writer on whatever the reader accepts.
#include "engine/codecs/cmp.h"

#include "codec_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return zelmar::fuzz::roundTrip(data, size, zelmar::cmp::decode, zelmar::cmp::encode);
}
