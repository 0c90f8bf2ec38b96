// Decode and encode of every format in memory, on the shared 24-megapixel
// photo: JPEG decodes the photo's own file; every other file, and every
// encode, starts from its pixels. JPEG is written at the save default
// (factor 64, quality 75); PNG as zelmar-convert writes it.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench_main.h"
#include "engine/codecs/png.h"
#include "engine/core/defaults.h"
#include "engine/core/facts.h"
#include "engine/io/formats.h"
#include "shared_photo.h"

namespace {

using namespace zelmar;
using bench::sharedPhoto;

struct Format {
  const char* name;
  int code;
  const char* extension;  // Targa is only recognised by its extension
};

constexpr Format kFormats[] = {
    {"BMP", format::kBmp, ".bmp"},     {"PCX", format::kPcx, ".pcx"},
    {"TIFF", format::kTiff, ".tif"},   {"JPEG", format::kJpeg420, ".jpg"},
    {"Targa", format::kTarga, ".tga"}, {"CMP", format::kCmp, ".cmp"},
    {"PNG", format::kPng, ".png"}};

Status encodeFormat(const Picture& p, const Format& f, OutputBuffer& out) {
  // PNG is not a save format of the control; zelmar-convert calls its writer.
  if (f.code == format::kPng) return png::encode(p, EncodeOptions{}, out);
  return encodeAs(p, f.code, EncodeOptions{kDefaultSaveFactor}, out);
}

void encode(benchmark::State& state, const Format& f) {
  const Picture& p = sharedPhoto();
  size_t bytes = 0;
  for (auto _ : state) {
    OutputBuffer out;
    const Status s = encodeFormat(p, f, out);
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
  if (f.code == format::kJpeg420) {
    file.append(bench::sharedPhotoFile().data(), bench::sharedPhotoFile().size());
  } else if (const Status made = encodeFormat(sharedPhoto(), f, file); !made.ok()) {
    state.SkipWithError(("no file to decode: " + made.message()).c_str());
    return;
  }
  for (auto _ : state) {
    Decoded d;
    const Status s = decodeAny(file.bytes(), f.extension, Limits{}, d);
    if (!s.ok() || d.picture.width() != sharedPhoto().width()) {
      state.SkipWithError(s.ok() ? "decoded the wrong size" : s.message().c_str());
      return;
    }
    benchmark::DoNotOptimize(d.picture.data());
  }
  state.counters["file_MB"] = double(file.size()) / 1e6;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(sharedPhoto().byteSize()));
}

}  // namespace

int main(int argc, char** argv) {
  sharedPhoto();  // read and decoded once, outside every timing
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
