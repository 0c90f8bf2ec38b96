#include "convert/run.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <string>

#include "convert/info.h"
#include "engine/codecs/png.h"
#include "engine/io/file_io.h"

namespace zelmar::convert {
namespace {

// The status as one line; a detail that only repeats the path is dropped
// since the caller names the file already.
std::string describe(const Status& status, const std::string& path) {
  std::string text = errorText(status.code());
  std::string detail = status.detail();
  if (detail.starts_with(path)) detail.erase(0, path.size());
  if (detail.starts_with(": ")) detail.erase(0, 2);
  if (!detail.empty()) text += ": " + detail;
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

int fail(std::FILE* err, const std::string& line) {
  std::fprintf(err, "zelmar-convert: %s\n", line.c_str());
  return 1;
}

class Stopwatch {
 public:
  double elapsedMs() const {
    return std::chrono::duration<double, std::milli>(Clock::now() - start_).count();
  }

 private:
  using Clock = std::chrono::steady_clock;
  Clock::time_point start_ = Clock::now();
};

void report(bool on, std::FILE* err, std::string_view step, const Stopwatch& watch) {
  if (on) std::fprintf(err, "%.*s: %.3f ms\n", int(step.size()), step.data(), watch.elapsedMs());
}

// A file cut short still loads, as with other programs, but the user hears of it.
Status load(const std::string& path, Decoded& out, std::FILE* err) {
  const Status s = loadPicture(path, Limits{}, out);
  if (s.ok() && out.truncated)
    std::fprintf(err, "zelmar-convert: warning: %s is cut short; the missing part is filled\n",
                 path.c_str());
  return s;
}

// PNG is this tool's alone: the control saves only the formats of its own table.
Status save(const Picture& picture, const Options& options) {
  if (options.formatCode != format::kPng)
    return savePicture(picture, options.output, options.formatCode, picture.bits(),
                       kDefaultSaveFactor, false);
  OutputBuffer file;
  try {
    ZELMAR_TRY(png::encode(picture, EncodeOptions{}, file));
  } catch (const std::bad_alloc&) {
    return {ErrorCode::OutOfMemory};
  }
  return writeFileAtomic(options.output, file.bytes());
}

}  // namespace

int runInfo(const Options& options, std::FILE* out, std::FILE* err) {
  Decoded loaded;
  const Status s = load(options.input, loaded, err);
  if (!s.ok()) return fail(err, "cannot load " + options.input + ": " + describe(s, options.input));
  std::fputs(formatInfo(loaded).c_str(), out);
  return 0;
}

int runConvert(const Options& options, std::FILE* err) {
  Decoded loaded;
  Stopwatch loading;
  Status s = load(options.input, loaded, err);
  if (!s.ok()) return fail(err, "cannot load " + options.input + ": " + describe(s, options.input));
  report(options.time, err, "load", loading);

  ops::SaturationSession session;
  session.reset(std::move(loaded.picture));
  OpState state;
  state.background = options.background;
  for (const Operation& op : options.operations) {
    Stopwatch watch;
    s = applyOperation(session, op, state);
    const std::string flag(op.entry->flag);
    if (s.code() == ErrorCode::Unsupported)
      return fail(err, flag + " is not available in this build (" + describe(s, "") + ")");
    if (!s.ok()) return fail(err, flag + " failed on " + options.input + ": " + describe(s, ""));
    report(options.time, err, flag.substr(2), watch);
  }

  Stopwatch saving;
  s = save(session.picture(), options);
  if (!s.ok())
    return fail(err, "cannot save " + options.output + ": " + describe(s, options.output));
  report(options.time, err, "save", saving);
  return 0;
}

}  // namespace zelmar::convert
