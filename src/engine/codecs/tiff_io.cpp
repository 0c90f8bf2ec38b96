#include "engine/codecs/tiff_io.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace zelmar::tiff {
namespace {

int recordError(TIFF*, void* user, const char* module, const char* fmt, va_list ap) {
  auto* errors = static_cast<TiffErrors*>(user);
  if (errors->count++ == 0) {
    char text[256];
    std::vsnprintf(text, sizeof text, fmt, ap);
    errors->first = std::string(module ? module : "libtiff") + ": " + text;
  }
  return 1;  // handled: libtiff must not print it
}

int ignoreWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// A few of libtiff's messages are issued before a handle exists and go to
// the process-wide handlers; those must not print either.
void silenceGlobalHandlers() {
  static std::once_flag once;
  std::call_once(once, [] {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
  });
}

toff_t seekTo(uint64_t& pos, uint64_t size, toff_t off, int whence) {
  uint64_t base = whence == SEEK_CUR ? pos : whence == SEEK_END ? size : 0;
  uint64_t target;
  if (__builtin_add_overflow(base, uint64_t(off), &target) || int64_t(target) < 0)
    return toff_t(-1);
  pos = target;
  return pos;
}

int closeNothing(thandle_t) { return 0; }
void unmapNothing(thandle_t, tdata_t, toff_t) {}

// Reader callbacks.
MemSource& src(thandle_t h) { return *static_cast<MemSource*>(h); }

tmsize_t sourceRead(thandle_t h, tdata_t buf, tmsize_t n) {
  MemSource& s = src(h);
  if (n <= 0 || s.pos >= s.size()) return 0;
  const uint64_t take = std::min<uint64_t>(uint64_t(n), s.size() - s.pos);
  const uint64_t real = s.pos < s.data.size() ? std::min(take, s.data.size() - s.pos) : 0;
  if (real) std::memcpy(buf, s.data.data() + s.pos, real);
  std::memset(static_cast<uint8_t*>(buf) + real, 0, take - real);
  s.pos += take;
  return tmsize_t(take);
}
tmsize_t sourceWrite(thandle_t, tdata_t, tmsize_t) { return -1; }
toff_t sourceSeek(thandle_t h, toff_t off, int whence) {
  return seekTo(src(h).pos, src(h).size(), off, whence);
}
toff_t sourceSize(thandle_t h) { return src(h).size(); }
// Handing libtiff the bytes as a mapping spares it copying raw strips.
int sourceMap(thandle_t h, tdata_t* base, toff_t* size) {
  if (src(h).paddedSize) return 0;
  *base = const_cast<uint8_t*>(src(h).data.data());
  *size = src(h).data.size();
  return 1;
}

// Writer callbacks.
MemSink& sink(thandle_t h) { return *static_cast<MemSink*>(h); }
uint64_t sinkSize(const MemSink& s) { return s.out->size() - s.base; }

tmsize_t sinkWrite(thandle_t h, tdata_t buf, tmsize_t n) {
  MemSink& s = sink(h);
  if (n < 0) return -1;
  const auto* p = static_cast<const uint8_t*>(buf);
  uint64_t left = uint64_t(n);
  const uint64_t end = sinkSize(s);
  if (s.pos < end) {  // overwrite what is already there
    const uint64_t over = std::min(left, end - s.pos);
    std::memcpy(s.out->data() + s.base + s.pos, p, over);
    p += over;
    left -= over;
    s.pos += over;
  }
  if (left) {
    const uint64_t gap = s.pos - sinkSize(s);  // a seek past the end reads as zeros
    uint8_t* t = s.out->tail(gap + left);
    std::memset(t, 0, gap);
    std::memcpy(t + gap, p, left);
    s.out->commit(gap + left);
    s.pos += left;
  }
  return n;
}
tmsize_t sinkRead(thandle_t, tdata_t, tmsize_t) { return -1; }
toff_t sinkSeek(thandle_t h, toff_t off, int whence) {
  return seekTo(sink(h).pos, sinkSize(sink(h)), off, whence);
}
toff_t sinkSizeProc(thandle_t h) { return sinkSize(sink(h)); }
int sinkMap(thandle_t, tdata_t*, toff_t*) { return 0; }

struct OptionsCloser {
  void operator()(TIFFOpenOptions* o) const { TIFFOpenOptionsFree(o); }
};

TiffPtr open(const char* mode, thandle_t handle, TiffErrors& errors, uint64_t maxAlloc,
             TIFFReadWriteProc read, TIFFReadWriteProc write, TIFFSeekProc seek, TIFFSizeProc size,
             TIFFMapFileProc map) {
  silenceGlobalHandlers();
  std::unique_ptr<TIFFOpenOptions, OptionsCloser> opts(TIFFOpenOptionsAlloc());
  if (!opts) return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(opts.get(), recordError, &errors);
  TIFFOpenOptionsSetWarningHandlerExtR(opts.get(), ignoreWarning, nullptr);
  if (maxAlloc) TIFFOpenOptionsSetMaxSingleMemAlloc(opts.get(), tmsize_t(maxAlloc));
  return TiffPtr(TIFFClientOpenExt("memory", mode, handle, read, write, seek, closeNothing, size,
                                   map, unmapNothing, opts.get()));
}

}  // namespace

TiffPtr openReader(MemSource& source, TiffErrors& errors, uint64_t maxAlloc) {
  return open("r", &source, errors, maxAlloc, sourceRead, sourceWrite, sourceSeek, sourceSize,
              sourceMap);
}

TiffPtr openWriter(MemSink& sink, TiffErrors& errors) {
  return open("w", &sink, errors, 0, sinkRead, sinkWrite, sinkSeek, sinkSizeProc, sinkMap);
}

}  // namespace zelmar::tiff
