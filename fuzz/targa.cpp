// Fuzzes the Targa reader, and the writer on whatever the reader accepts.
#include "engine/codecs/targa.h"

#include "codec_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return zelmar::fuzz::roundTrip(data, size, zelmar::targa::decode, zelmar::targa::encode);
}
