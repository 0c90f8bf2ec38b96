// Fuzzes the JPEG reader, the marker walk and the EXIF parser.
#include "engine/codecs/jpeg.h"

#include "codec_round_trip.h"
#include "engine/codecs/jpeg_markers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zelmar;
  if (size > fuzz::kMaxInput) return 0;
  // The parsers of untrusted metadata on their own, the input taken both as
  // a whole file and as a bare EXIF block.
  volatile int sink =
      jpeg::scanMarkers(Bytes(data, size)).orientation + jpeg::exifOrientation(Bytes(data, size));
  (void)sink;
  return fuzz::roundTrip(data, size, jpeg::decode, jpeg::encode, fuzz::Check::DecodesOnly);
}
