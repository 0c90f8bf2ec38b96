#include "engine/cache/picture_cache.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iterator>

#include "engine/io/file_io.h"

namespace zelmar {

struct PictureCache::Job {
  std::string path;
  bool decode = true;  // else only prepare `picture` again
  CachedPicture picture;
  std::string viewKey;
  Preparer prepare;
  Rgb background;
  bool ok = false;
};

namespace {
// Below the host's threads, so that what is on screen comes first.
constexpr int kWorkerNice = 10;

bool contains(const std::vector<std::string>& list, const std::string& s) {
  return std::find(list.begin(), list.end(), s) != list.end();
}
}  // namespace

uint64_t physicalMemoryBytes() {
  const long pages = ::sysconf(_SC_PHYS_PAGES), page = ::sysconf(_SC_PAGE_SIZE);
  return pages > 0 && page > 0 ? uint64_t(pages) * uint64_t(page) : uint64_t(1) << 30;
}

PrefetchBounds prefetchBounds(uint64_t memory) {
  PrefetchBounds b;
  b.maxFileBytes = memory / 4;
  // Three bytes a pixel, the most a picture of ours takes.
  b.limits.maxPixels = std::min(b.limits.maxPixels, b.maxFileBytes / 3);
  return b;
}

PictureCache::PictureCache(PrefetchBounds bounds) : bounds_(bounds) {
  worker_ = std::thread([this] { run(); });
}

PictureCache::~PictureCache() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_one();
  worker_.join();
}

void PictureCache::hint(const std::vector<std::string>& paths, const std::string& viewKey,
                        Preparer prepare, Rgb background) {
  std::vector<CachedPicture> excess;  // freed after the lock is let go
  std::lock_guard lock(mutex_);
  wanted_.clear();
  for (const std::string& p : paths)
    if (wanted_.size() < kHeld && !contains(wanted_, p)) wanted_.push_back(p);
  tried_.clear();
  viewKey_ = viewKey;
  prepare_ = std::move(prepare);
  background_ = background;
  dropIf([&](const CachedPicture& c) {
    return !contains(wanted_, c.file.path) || !(c.background == background_);
  });
  excess = excessDropped();
  wake_.notify_one();
}

bool PictureCache::take(const std::string& path, CachedPicture& out, Rgb background) {
  CachedPicture found;
  {
    std::unique_lock lock(mutex_);
    // The host has this file now, one way or another: no more work on it.
    if (!contains(tried_, path)) tried_.push_back(path);
    if (busy_ == path) {
      // The host waits for this very work: it no longer runs behind.
      errno = 0;
      const int host = ::getpriority(PRIO_PROCESS, 0);
      if (errno == 0) ::setpriority(PRIO_PROCESS, workerThread_, host);
      settled_.wait(lock, [&] { return busy_ != path; });
    }
    const auto it = std::find_if(held_.begin(), held_.end(),
                                 [&](const CachedPicture& c) { return c.file.path == path; });
    if (it == held_.end()) return false;
    found = std::move(*it);
    held_.erase(it);
  }
  FileIdentity now;
  if (identifyFile(path, now) && now == found.file && found.background == background) {
    out = std::move(found);
    return true;
  }
  std::vector<CachedPicture> excess;
  std::lock_guard lock(mutex_);
  dropped_.push_back(std::move(found));
  excess = excessDropped();
  return false;
}

void PictureCache::keep(CachedPicture picture) {
  std::vector<CachedPicture> excess;
  std::lock_guard lock(mutex_);
  const std::string& path = picture.file.path;
  dropIf([&](const CachedPicture& c) { return c.file.path == path; });
  held_.push_back(std::move(picture));
  trim();
  excess = excessDropped();
}

void PictureCache::forget(const std::string& path) {
  std::vector<CachedPicture> excess;
  std::lock_guard lock(mutex_);
  dropIf([&](const CachedPicture& c) { return c.file.path == path; });
  excess = excessDropped();
  wake_.notify_one();
}

void PictureCache::waitIdle() {
  std::unique_lock lock(mutex_);
  settled_.wait(lock, [&] { return busy_.empty() && !pending(); });
}

size_t PictureCache::held() const {
  std::lock_guard lock(mutex_);
  return held_.size();
}

// Everything below runs with the lock held, except work().

size_t PictureCache::rank(const std::string& path) const {
  return size_t(std::find(wanted_.begin(), wanted_.end(), path) - wanted_.begin());
}

void PictureCache::dropIf(const std::function<bool(const CachedPicture&)>& gone) {
  const auto kept = std::stable_partition(held_.begin(), held_.end(),
                                          [&](const CachedPicture& c) { return !gone(c); });
  std::move(kept, held_.end(), std::back_inserter(dropped_));
  held_.erase(kept, held_.end());
}

// The least wanted picture held makes way; the oldest of equals.
void PictureCache::dropLeastWanted() {
  auto worst = held_.begin();
  for (auto it = held_.begin(); it != held_.end(); ++it)
    if (rank(it->file.path) > rank(worst->file.path)) worst = it;
  dropped_.push_back(std::move(*worst));
  held_.erase(worst);
}

void PictureCache::trim() {
  while (held_.size() > kHeld) dropLeastWanted();
}

std::vector<CachedPicture> PictureCache::excessDropped() {
  std::vector<CachedPicture> excess;
  if (dropped_.size() > kHeld) excess.swap(dropped_);
  return excess;
}

bool PictureCache::pending() const {
  return std::any_of(wanted_.begin(), wanted_.end(), [&](const std::string& path) {
    if (contains(tried_, path)) return false;
    const auto it = std::find_if(held_.begin(), held_.end(),
                                 [&](const CachedPicture& c) { return c.file.path == path; });
    return it == held_.end() || (prepare_ && it->preparedFor != viewKey_);
  });
}

bool PictureCache::nextJob(Job& job) {
  for (const std::string& path : wanted_) {
    if (contains(tried_, path)) continue;
    const auto it = std::find_if(held_.begin(), held_.end(),
                                 [&](const CachedPicture& c) { return c.file.path == path; });
    if (it != held_.end() && (!prepare_ || it->preparedFor == viewKey_)) continue;
    tried_.push_back(path);
    job.path = path;
    job.viewKey = viewKey_;
    job.prepare = prepare_;
    job.background = background_;
    if (it != held_.end()) {
      job.decode = false;
      job.picture = std::move(*it);
      held_.erase(it);
    } else if (held_.size() >= kHeld) {
      // Room first, so that no more than kHeld pictures live beside the one
      // on screen even while this one is decoded. One held is not wanted,
      // since fewer than kHeld wanted ones are held.
      dropLeastWanted();
    }
    return true;
  }
  return false;
}

void PictureCache::work(Job& job) const {
  try {
    if (job.decode) {
      FileIdentity before, after;
      Decoded decoded;
      if (!identifyFile(job.path, before) || uint64_t(before.size) > bounds_.maxFileBytes) return;
      if (!loadPicture(job.path, {bounds_.limits, job.background}, decoded).ok()) return;
      // A file rewritten while it was read may have given a mixture of both.
      if (!identifyFile(job.path, after) || !(after == before)) return;
      job.picture.file = std::move(before);
      job.picture.background = job.background;
      job.picture.decoded = std::move(decoded);
    }
    job.picture.preparedFor = job.viewKey;
    job.picture.prepared = nullptr;
    job.ok = true;
    if (job.prepare) job.picture.prepared = job.prepare(job.picture.decoded.picture);
  } catch (...) {
    // Out of memory on the way: the picture is simply not prefetched, or
    // has no screen copy, which the host makes when it shows the picture.
  }
}

void PictureCache::run() {
  std::unique_lock lock(mutex_);
  workerThread_ = ::gettid();
  for (;;) {
    if (!dropped_.empty()) {
      std::vector<CachedPicture> gone;
      gone.swap(dropped_);
      lock.unlock();
      gone.clear();
      lock.lock();
      continue;
    }
    if (stop_) return;
    Job job;
    if (!nextJob(job)) {
      settled_.notify_all();
      wake_.wait(lock);
      continue;
    }
    busy_ = job.path;
    // Under the lock, so that a host that starts waiting lifts it after this.
    ::setpriority(PRIO_PROCESS, workerThread_, kWorkerNice);
    lock.unlock();
    work(job);
    lock.lock();
    busy_.clear();
    if (job.ok && rank(job.path) < wanted_.size() && job.background == background_) {
      // The newest picture of a file wins over one kept meanwhile.
      dropIf([&](const CachedPicture& c) { return c.file.path == job.path; });
      held_.push_back(std::move(job.picture));
      trim();
    } else {
      dropped_.push_back(std::move(job.picture));
    }
    settled_.notify_all();
  }
}

}  // namespace zelmar
