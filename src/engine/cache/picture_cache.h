#pragma once
// Pictures decoded ahead of need. A viewer spends seconds on each picture
// while the processor idles: one background thread decodes the files the
// host expects to show next, and lets the host derive its screen copy of
// each, so that showing one of them is a hand-over instead of a decode.
//
// At most kHeld pictures are held besides the one on screen: one ahead and
// one behind. A held picture is handed out only while its file is unchanged
// on disk. Whatever goes wrong ahead of time is dropped without a word; the
// host's own load then behaves as if nothing had been prefetched.
#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/cache/file_identity.h"
#include "engine/codecs/codec.h"
#include "engine/core/defaults.h"

namespace zelmar {

// What the host derives from a decoded picture on the cache's thread (the
// control's screen copy); opaque here.
struct Prepared {
  virtual ~Prepared() = default;
};
using PreparedPtr = std::shared_ptr<const Prepared>;
// Runs on the cache's thread, so it may touch nothing else of the host's.
using Preparer = std::function<PreparedPtr(const Picture&)>;

struct CachedPicture {
  FileIdentity file;                   // the file as it was when decoded
  Rgb background = kDefaultBackColor;  // transparent pixels were composed over this
  Decoded decoded;
  PreparedPtr prepared;     // null when nothing was prepared
  std::string preparedFor;  // the view `prepared` was made for
};

struct PrefetchBounds {
  Limits limits;              // larger pictures are not decoded ahead
  uint64_t maxFileBytes = 0;  // nor larger files
};
uint64_t physicalMemoryBytes();
// The engine's limits, and a quarter of `memory` for each picture and file.
PrefetchBounds prefetchBounds(uint64_t memory = physicalMemoryBytes());

class PictureCache {
 public:
  static constexpr size_t kHeld = 2;

  explicit PictureCache(PrefetchBounds bounds = prefetchBounds());
  ~PictureCache();
  PictureCache(const PictureCache&) = delete;
  PictureCache& operator=(const PictureCache&) = delete;

  // The files wanted next, most wanted first; only the first kHeld count.
  // Pictures of other files are dropped and work for them not yet begun is
  // cancelled (a decode already running ends, and its result is dropped).
  // `prepare`, when given, runs on each picture for the view named
  // `viewKey`; pictures prepared for another view are prepared again.
  // Transparent pixels are composed over `background`.
  void hint(const std::vector<std::string>& paths, const std::string& viewKey = {},
            Preparer prepare = {}, Rgb background = kDefaultBackColor);

  // Hands out the picture of `path` when one is held for the file as it is
  // now, composed over `background`, awaiting work on it in progress rather
  // than repeating it. A picture of an older version of the file is dropped.
  bool take(const std::string& path, CachedPicture& out, Rgb background = kDefaultBackColor);

  // Holds a picture decoded elsewhere (the one leaving the screen) until a
  // hint says it is not wanted.
  void keep(CachedPicture picture);

  // Drops what is held for `path` (its file is being replaced).
  void forget(const std::string& path);

  // Waits until every wanted picture is ready or has failed.
  void waitIdle();
  // Pictures held now, not counting one being decoded.
  size_t held() const;

 private:
  struct Job;
  void run();
  bool nextJob(Job& job);
  void work(Job& job) const;
  bool pending() const;
  size_t rank(const std::string& path) const;
  void dropIf(const std::function<bool(const CachedPicture&)>& gone);
  void dropLeastWanted();
  void trim();
  // The dropped pictures, for the host to free itself once more than kHeld
  // wait: a host stepping faster than the worker, which runs behind it,
  // would otherwise pile them up.
  std::vector<CachedPicture> excessDropped();

  const PrefetchBounds bounds_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;     // the worker: new work, or stop
  std::condition_variable settled_;  // callers: a piece of work ended
  std::vector<std::string> wanted_;
  std::vector<std::string> tried_;  // wanted paths dealt with since the hint
  std::vector<CachedPicture> held_;
  // Freed on the worker, off the host's thread, when it next wakes: not at
  // once, while the host is still busy showing a picture.
  std::vector<CachedPicture> dropped_;
  std::string busy_;  // the path being worked on
  pid_t workerThread_ = 0;
  std::string viewKey_;
  Preparer prepare_;
  Rgb background_ = kDefaultBackColor;
  bool stop_ = false;
  std::thread worker_;
};

}  // namespace zelmar
