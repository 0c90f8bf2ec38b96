// Fuzzes the TIFF reader (our directory check and libtiff behind it).
#include "engine/codecs/tiff.h"

#include "codec_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return zelmar::fuzz::roundTrip(data, size, zelmar::tiff::decode, zelmar::tiff::encode,
                                 zelmar::fuzz::Check::DecodesOnly);
}
