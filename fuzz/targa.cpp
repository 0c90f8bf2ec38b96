// Fuzzes the Targa reader, and the writer on whatever the reader accepts.
#include "codec_roundtrip.h"
#include "engine/codecs/targa.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return zelmar::fuzz::decodeEncodeDecode(data, size, zelmar::targa::decode,
                                          zelmar::targa::encode);
}
