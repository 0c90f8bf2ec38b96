// Fuzzes the HEIF and AVIF reader (libheif with libde265 and dav1d behind it).
#include "engine/codecs/heif.h"

#include "codec_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return zelmar::fuzz::throughPng(data, size, zelmar::heif::decode);
}
