#include "engine/qt/sane_scanner.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "engine/qt/backend_threads.h"

namespace zelmar::qt {
namespace {

Status saneError(SANE_Status s, const char* what) {
  return {ErrorCode::DeviceFailed, std::string(what) + ": " + sane_strstatus(s)};
}

class Device {
 public:
  Status open(const std::string& name) {
    const SANE_Status s = sane_open(name.c_str(), &handle_);
    if (s != SANE_STATUS_GOOD) {
      handle_ = nullptr;
      return saneError(s, ("cannot open scanner " + name).c_str());
    }
    return {};
  }
  ~Device() {
    if (handle_) {
      threads_.settle(false);
      sane_cancel(handle_);
      sane_close(handle_);
    }
  }
  SANE_Handle handle() const { return handle_; }
  SANE_Status start() {
    threads_.beforeStart();
    const SANE_Status s = sane_start(handle_);
    threads_.afterStart();
    return s;
  }
  // Before the read that reports the end, which stops the pass's reader.
  void awaitReaders() const { threads_.settle(true); }

  // The option called `name`, or -1.
  int find(const char* name, const SANE_Option_Descriptor** desc) const {
    for (int i = 1;; ++i) {
      const SANE_Option_Descriptor* d = sane_get_option_descriptor(handle_, i);
      if (!d) return -1;
      if (d->name && std::strcmp(d->name, name) == 0 && SANE_OPTION_IS_ACTIVE(d->cap)) {
        *desc = d;
        return i;
      }
    }
  }
  bool hasString(const char* option, const char* value) const {
    const SANE_Option_Descriptor* d = nullptr;
    if (find(option, &d) < 0 || d->constraint_type != SANE_CONSTRAINT_STRING_LIST) return false;
    for (const SANE_String_Const* s = d->constraint.string_list; *s; ++s)
      if (std::strcmp(*s, value) == 0) return true;
    return false;
  }
  bool setString(const char* option, const char* value) {
    const SANE_Option_Descriptor* d = nullptr;
    const int i = find(option, &d);
    if (i < 0 || d->type != SANE_TYPE_STRING || !SANE_OPTION_IS_SETTABLE(d->cap)) return false;
    std::string buf(value);
    buf.resize(std::max<size_t>(buf.size() + 1, size_t(d->size)));
    return sane_control_option(handle_, i, SANE_ACTION_SET_VALUE, buf.data(), nullptr) ==
           SANE_STATUS_GOOD;
  }
  bool setNumber(const char* option, int value) {
    const SANE_Option_Descriptor* d = nullptr;
    const int i = find(option, &d);
    if (i < 0 || !SANE_OPTION_IS_SETTABLE(d->cap)) return false;
    SANE_Word w = d->type == SANE_TYPE_FIXED ? SANE_FIX(value) : value;
    if (d->type != SANE_TYPE_FIXED && d->type != SANE_TYPE_INT) return false;
    return sane_control_option(handle_, i, SANE_ACTION_SET_VALUE, &w, nullptr) == SANE_STATUS_GOOD;
  }

 private:
  SANE_Handle handle_ = nullptr;
  BackendThreads threads_;
};

// Reads the frame now started into `data`. Cancelled when `progress` says so.
// sane_cancel in mid-pass closes the reader's pipe and cancels the reader in
// the same breath, while the closed pipe sends it down its exit path; so a
// cancelled pass is read out first, for at most a second.
Status readFrame(const Device& d, const SANE_Parameters& p, const ScanProgress& progress, int frame,
                 int frames, std::vector<uint8_t>& data) {
  using namespace std::chrono;
  constexpr size_t kChunk = 64 * 1024;
  const uint64_t total = p.lines > 0 ? uint64_t(p.bytes_per_line) * uint64_t(p.lines) : 0;
  uint64_t received = 0;
  bool cancelled = false;
  steady_clock::time_point giveUp;
  for (;;) {
    if (total && received >= total) d.awaitReaders();
    const size_t at = cancelled ? 0 : data.size();  // once cancelled, nothing is kept
    try {
      data.resize(at + kChunk);
    } catch (const std::bad_alloc&) {
      return {ErrorCode::OutOfMemory};
    }
    SANE_Int got = 0;
    const SANE_Status s = sane_read(d.handle(), data.data() + at, SANE_Int(kChunk), &got);
    data.resize(at + size_t(std::max(got, 0)));
    received += uint64_t(std::max(got, 0));
    if (cancelled && (s != SANE_STATUS_GOOD || steady_clock::now() > giveUp))
      return {ErrorCode::Cancelled};
    if (s == SANE_STATUS_EOF) return {};
    if (s != SANE_STATUS_GOOD) return saneError(s, "scanning stopped");
    if (cancelled) continue;
    const double done =
        total ? (frame + std::min(1.0, double(received) / double(total))) / frames : -1;
    if (progress && !progress(done)) {
      cancelled = true;
      giveUp = steady_clock::now() + seconds(1);
    }
  }
}

uint8_t sample(const uint8_t* row, int depth, int index) {
  if (depth == 16) {
    uint16_t v;
    std::memcpy(&v, row + 2 * index, 2);  // SANE sends 16-bit samples in host order
    return uint8_t(v >> 8);
  }
  return row[index];
}

// One channel (grey or one colour of a three-pass scan) into the picture.
void storeChannel(const std::vector<uint8_t>& data, const SANE_Parameters& p, int channel,
                  int channels, Picture& out) {
  for (uint32_t y = 0; y < out.height(); ++y) {
    const uint8_t* src = data.data() + size_t(y) * size_t(p.bytes_per_line);
    uint8_t* dst = out.row(y);
    for (uint32_t x = 0; x < out.width(); ++x) {
      uint8_t v;
      if (p.depth == 1)  // SANE's line art: a set bit is black
        v = (src[x / 8] >> (7 - x % 8)) & 1 ? 0 : 1;
      else
        v = sample(src, p.depth, int(x));
      dst[size_t(x) * channels + channel] = v;
    }
  }
}

void storeRgb(const std::vector<uint8_t>& data, const SANE_Parameters& p, Picture& out) {
  for (uint32_t y = 0; y < out.height(); ++y) {
    const uint8_t* src = data.data() + size_t(y) * size_t(p.bytes_per_line);
    uint8_t* dst = out.row(y);
    for (uint32_t i = 0; i < out.width() * 3; ++i) dst[i] = sample(src, p.depth, int(i));
  }
}

void threshold(Picture& grey, Picture& bw) {
  for (uint32_t y = 0; y < grey.height(); ++y)
    for (uint32_t x = 0; x < grey.width(); ++x) bw.row(y)[x] = grey.row(y)[x] >= 128 ? 1 : 0;
}

int channelOf(SANE_Frame f) { return f == SANE_FRAME_RED ? 0 : f == SANE_FRAME_GREEN ? 1 : 2; }

}  // namespace

SaneSession::SaneSession() {
  prepareThreadExit();
  SANE_Int version = 0;
  const SANE_Status s = sane_init(&version, nullptr);
  if (s != SANE_STATUS_GOOD) status_ = saneError(s, "cannot start SANE");
}

SaneSession::~SaneSession() {
  if (status_.ok()) sane_exit();
}

Status SaneSession::devices(std::vector<ScannerInfo>& out) const {
  ZELMAR_TRY(status_);
  const SANE_Device** list = nullptr;
  const SANE_Status s = sane_get_devices(&list, SANE_FALSE);
  if (s != SANE_STATUS_GOOD) return saneError(s, "cannot list scanners");
  out.clear();
  for (; list && *list; ++list)
    out.push_back({(*list)->name, std::string((*list)->vendor) + " " + (*list)->model});
  if (out.empty()) return {ErrorCode::NoDevice, "no scanner found"};
  return {};
}

Status SaneSession::resolutions(const std::string& device, std::vector<int>& out) const {
  ZELMAR_TRY(status_);
  Device d;
  ZELMAR_TRY(d.open(device));
  out.clear();
  const SANE_Option_Descriptor* desc = nullptr;
  if (d.find(SANE_NAME_SCAN_RESOLUTION, &desc) < 0) return {};
  const auto value = [&](SANE_Word w) { return desc->type == SANE_TYPE_FIXED ? SANE_UNFIX(w) : w; };
  if (desc->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
    for (int i = 1; i <= desc->constraint.word_list[0]; ++i)
      out.push_back(int(value(desc->constraint.word_list[i])));
  } else if (desc->constraint_type == SANE_CONSTRAINT_RANGE) {
    const double lo = value(desc->constraint.range->min), hi = value(desc->constraint.range->max);
    for (int dpi : {75, 100, 150, 200, 300, 600, 1200})
      if (dpi >= lo && dpi <= hi) out.push_back(dpi);
  }
  std::sort(out.begin(), out.end());
  return {};
}

Status SaneSession::scan(const ScanSettings& settings, const ScanProgress& progress,
                         Picture& out) const {
  ZELMAR_TRY(status_);
  Device d;
  ZELMAR_TRY(d.open(settings.device));
  bool thresholdGrey = false;
  switch (settings.mode) {
    case ScanMode::DeviceDefault:
      break;
    case ScanMode::Color:
      d.setString(SANE_NAME_SCAN_MODE, SANE_VALUE_SCAN_MODE_COLOR);
      d.setNumber(SANE_NAME_BIT_DEPTH, 8);
      break;
    case ScanMode::Gray:
      d.setString(SANE_NAME_SCAN_MODE, SANE_VALUE_SCAN_MODE_GRAY);
      d.setNumber(SANE_NAME_BIT_DEPTH, 8);
      break;
    case ScanMode::BlackAndWhite:
      // Line art where the device has it, else one-bit grey, else we threshold.
      if (d.hasString(SANE_NAME_SCAN_MODE, SANE_VALUE_SCAN_MODE_LINEART)) {
        d.setString(SANE_NAME_SCAN_MODE, SANE_VALUE_SCAN_MODE_LINEART);
      } else {
        d.setString(SANE_NAME_SCAN_MODE, SANE_VALUE_SCAN_MODE_GRAY);
        thresholdGrey = !d.setNumber(SANE_NAME_BIT_DEPTH, 1);
      }
      break;
  }
  if (settings.dpi > 0) d.setNumber(SANE_NAME_SCAN_RESOLUTION, settings.dpi);

  Picture page;
  for (int frame = 0;; ++frame) {
    SANE_Status s = d.start();
    if (s != SANE_STATUS_GOOD) return saneError(s, "cannot start the scan");
    SANE_Parameters p{};
    s = sane_get_parameters(d.handle(), &p);
    if (s != SANE_STATUS_GOOD) return saneError(s, "no scan parameters");
    const bool single = p.format == SANE_FRAME_GRAY || p.format == SANE_FRAME_RGB;
    if ((p.depth != 1 && p.depth != 8 && p.depth != 16) ||
        (p.format == SANE_FRAME_RGB && p.depth == 1) || (!single && p.depth == 1) ||
        p.pixels_per_line <= 0 || p.bytes_per_line <= 0)
      return {ErrorCode::Unsupported, "scan layout"};
    const int frames = single ? 1 : 3;
    std::vector<uint8_t> data;
    ZELMAR_TRY(readFrame(d, p, progress, single ? 0 : std::min(frame, 2), frames, data));
    const uint64_t lines = p.lines > 0 ? uint64_t(p.lines) : data.size() / size_t(p.bytes_per_line);
    if (data.size() < lines * size_t(p.bytes_per_line))
      return {ErrorCode::DeviceFailed, "page cut short"};
    if (page.empty()) {
      const int bits = p.format == SANE_FRAME_GRAY ? (p.depth == 1 ? 1 : 8) : 24;
      ZELMAR_TRY(Picture::create(uint64_t(p.pixels_per_line), lines, bits, page));
      page.setPalette(grayPalette(bits == 1 ? 2 : 256));
    } else if (page.width() != uint32_t(p.pixels_per_line) || page.height() != lines) {
      return {ErrorCode::DeviceFailed, "colour passes of different sizes"};
    }
    if (p.format == SANE_FRAME_RGB)
      storeRgb(data, p, page);
    else if (p.format == SANE_FRAME_GRAY)
      storeChannel(data, p, 0, 1, page);
    else
      storeChannel(data, p, channelOf(p.format), 3, page);
    if (p.last_frame) break;
    if (frame >= 2) return {ErrorCode::Unsupported, "more than three passes"};
  }
  if (thresholdGrey && page.bits() == 8) {
    Picture bw;
    ZELMAR_TRY(Picture::create(page.width(), page.height(), 1, bw));
    bw.setPalette(grayPalette(2));
    threshold(page, bw);
    page = std::move(bw);
  }
  out = std::move(page);
  return {};
}

}  // namespace zelmar::qt
