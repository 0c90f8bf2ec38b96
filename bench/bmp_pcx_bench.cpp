// BMP and PCX on the 24-megapixel photo a user opens and saves. Goals:
// encode BMP within 16 ms and PCX within 60 ms; decode as fast as possible.
// Each encode starts from a fresh buffer, as every save does; the _reused
// variants show the codec's work alone.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "bench_main.h"
#include "engine/codecs/bmp.h"
#include "engine/codecs/pcx.h"
#include "shared_photo.h"

namespace {

using namespace zelmar;

const Picture& photo() { return bench::sharedPhoto(); }

template <auto Encode>
void encodePhoto(benchmark::State& state) {
  const Picture& p = photo();
  for (auto _ : state) {
    OutputBuffer out;
    if (!Encode(p, EncodeOptions{}, out).ok()) std::abort();
    benchmark::DoNotOptimize(out.data());
    state.counters["bytes"] = double(out.size());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.byteSize()));
}

// The codec's own share: the same buffer serves every encode, so the
// kernel's first touch of fresh memory is left out.
template <auto Encode>
void encodePhotoReused(benchmark::State& state) {
  const Picture& p = photo();
  OutputBuffer out;
  for (auto _ : state) {
    out.clear();
    if (!Encode(p, EncodeOptions{}, out).ok()) std::abort();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.byteSize()));
}

template <auto Encode, auto Decode>
void decodePhoto(benchmark::State& state) {
  OutputBuffer file;
  if (!Encode(photo(), EncodeOptions{}, file).ok()) std::abort();
  for (auto _ : state) {
    Decoded d;
    if (!Decode(file.bytes(), Limits{}, d).ok()) std::abort();
    benchmark::DoNotOptimize(d.picture.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(photo().byteSize()));
}

// The floor: copying the photo's bytes into fresh memory, as an encode must.
void copyPhoto(benchmark::State& state) {
  const Picture& p = photo();
  for (auto _ : state) {
    OutputBuffer out;
    out.append(p.data(), p.byteSize());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.byteSize()));
}

BENCHMARK(copyPhoto)->Name("memcpy_photo24")->Unit(benchmark::kMillisecond);
BENCHMARK(encodePhoto<bmp::encode>)->Name("bmp_encode_photo24")->Unit(benchmark::kMillisecond);
BENCHMARK(encodePhotoReused<bmp::encode>)
    ->Name("bmp_encode_photo24_reused")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(decodePhoto<bmp::encode, bmp::decode>)
    ->Name("bmp_decode_photo24")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(encodePhoto<pcx::encode>)->Name("pcx_encode_photo24")->Unit(benchmark::kMillisecond);
BENCHMARK(encodePhotoReused<pcx::encode>)
    ->Name("pcx_encode_photo24_reused")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(decodePhoto<pcx::encode, pcx::decode>)
    ->Name("pcx_decode_photo24")
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return zelmar::bench::runBenchmarks(argc, argv); }
