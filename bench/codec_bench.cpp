// Decode and encode of every format in memory, on a 24-megapixel photo.
// JPEG is written at the save default (factor 64, quality 75).
// `codec_bench --write-photo FILE.ppm` writes the photo instead.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench_main.h"
#include "engine/core/defaults.h"
#include "engine/core/facts.h"
#include "engine/io/formats.h"
#include "support/pictures.h"

namespace {

using namespace zelmar;

struct Format {
  const char* name;
  int code;
  const char* extension;  // Targa is only recognised by its extension
};

constexpr Format kFormats[] = {{"BMP", format::kBmp, ".bmp"},     {"PCX", format::kPcx, ".pcx"},
                               {"TIFF", format::kTiff, ".tif"},   {"JPEG", format::kJpeg420, ".jpg"},
                               {"Targa", format::kTarga, ".tga"}, {"CMP", format::kCmp, ".cmp"}};

const Picture& photo() {
  static const Picture p = test::makePhoto(6000, 4000);
  return p;
}

void encode(benchmark::State& state, const Format& f) {
  const Picture& p = photo();
  size_t bytes = 0;
  for (auto _ : state) {
    OutputBuffer out;
    const Status s = encodeAs(p, f.code, EncodeOptions{kDefaultSaveFactor}, out);
    if (!s.ok()) {
      state.SkipWithError(s.message().c_str());
      return;
    }
    bytes = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["file_MB"] = double(bytes) / 1e6;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.byteSize()));
}

void decode(benchmark::State& state, const Format& f) {
  OutputBuffer file;
  const Status made = encodeAs(photo(), f.code, EncodeOptions{kDefaultSaveFactor}, file);
  if (!made.ok()) {
    state.SkipWithError(("no file to decode: " + made.message()).c_str());
    return;
  }
  for (auto _ : state) {
    Decoded d;
    const Status s = decodeAny(file.bytes(), f.extension, Limits{}, d);
    if (!s.ok() || d.picture.width() != photo().width()) {
      state.SkipWithError(s.ok() ? "decoded the wrong size" : s.message().c_str());
      return;
    }
    benchmark::DoNotOptimize(d.picture.data());
  }
  state.counters["file_MB"] = double(file.size()) / 1e6;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(photo().byteSize()));
}

}  // namespace

int main(int argc, char** argv) {
  // compare.sh gives the peers the very same photo, as a Netpbm file.
  if (argc == 3 && std::string(argv[1]) == "--write-photo") {
    return zelmar::test::writePnm(photo(), argv[2]) ? 0 : 1;
  }
  photo();  // made once, outside every timing
  for (const Format& f : kFormats) {
    benchmark::RegisterBenchmark((std::string("decode/") + f.name).c_str(), decode, f)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark((std::string("encode/") + f.name).c_str(), encode, f)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  return zelmar::bench::runBenchmarks(argc, argv);
}
