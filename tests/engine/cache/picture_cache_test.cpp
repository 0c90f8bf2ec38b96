// The prefetch cache's hand-over, cancelling and refusals, also under ThreadSanitizer;
// that a handed-over picture equals a fresh load is checked through the control.
#include "engine/cache/picture_cache.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>

#include "engine/io/file_io.h"
#include "support/pictures.h"
#include "support/temp_dir.h"

namespace zelmar::test {
namespace {

std::string write(const std::string& path, uint32_t width) {
  EXPECT_TRUE(savePicture(makePhoto(width, 9), path, 6, 0, 64, false).ok());
  return path;
}

TEST(PictureCache, NothingStaleBrokenOrTooLargeIsHandedOut) {
  TempDir dir;
  using Step = std::function<void(const std::string&)>;
  const auto picture = [](uint32_t width) { return [=](auto& p) { write(p, width); }; };
  PictureCache cache(PrefetchBounds{Limits{65535, 300}, 1 << 20});
  const Step otherBackground = [&](auto& p) { cache.hint({p}, {}, {}, Rgb{1, 2, 3}); };
  const std::pair<Step, Step> cases[] = {
      // before the hint; after the decode
      {[](auto&) {}, {}},
      {[](auto& p) { std::ofstream(p) << "no picture"; }, {}},
      {picture(40), {}},  // too large for the bounds below
      {picture(20), picture(21)},
      {picture(20), [](auto& p) { std::ofstream(p, std::ios::app) << 'x'; }},
      {picture(20), [](auto& p) { std::filesystem::remove(p); }},
      {picture(20), otherBackground},
  };
  int row = 0;
  for (const auto& [before, after] : cases) {
    const std::string path = dir.file(std::to_string(++row) + ".bmp");
    before(path);
    cache.hint({path});
    cache.waitIdle();
    ASSERT_EQ(cache.held(), after ? 1u : 0u) << row;
    if (after) after(path);
    CachedPicture got;
    EXPECT_FALSE(cache.take(path, got)) << row;
    EXPECT_EQ(cache.held(), 0u);
  }
  // A screen copy that fails leaves the picture itself usable.
  const std::string good = write(dir.file("good.bmp"), 8);
  cache.hint({good}, "v", [](auto&) -> PreparedPtr { throw std::bad_alloc(); });
  cache.waitIdle();
  CachedPicture got;
  EXPECT_TRUE(cache.take(good, got) && !got.prepared);
}

TEST(PictureCache, ANewHintCancelsWorkNotBegunAndALoadAwaitsWorkInProgress) {
  TempDir dir;
  const std::string a = write(dir.file("a.bmp"), 10), b = write(dir.file("b.bmp"), 11),
                    c = write(dir.file("c.bmp"), 12);
  std::promise<void> started, open;
  PictureCache cache;
  cache.hint({a, b}, "v", [&, gate = open.get_future().share()](const Picture&) -> PreparedPtr {
    started.set_value();
    gate.wait();
    return nullptr;
  });
  started.get_future().wait();                     // the worker is on `a`
  std::vector<uint32_t> widths;                    // of each picture prepared after the turn
  cache.hint({c, a}, "v", [&](const Picture& p) {  // `b` is no longer wanted
    widths.push_back(p.width());
    return nullptr;
  });
  auto takeA = std::async(std::launch::async, [&] {
    CachedPicture got;
    return cache.take(a, got) && got.decoded.picture.width() == 10 && got.preparedFor == "v";
  });
  EXPECT_EQ(takeA.wait_for(std::chrono::milliseconds(20)), std::future_status::timeout);
  open.set_value();
  EXPECT_TRUE(takeA.get());
  cache.waitIdle();
  EXPECT_EQ(widths, std::vector<uint32_t>{12});
}

TEST(PictureCache, HoldsAtMostTwoPicturesWhileHintsAndLoadsRace) {
  TempDir dir;
  std::vector<std::string> f;
  for (uint32_t i = 0; i < 6; ++i) f.push_back(write(dir.file(std::to_string(i)), 30 + i));
  PictureCache cache;
  for (size_t i = 0; i < 60; ++i) {
    const size_t turn = i % 7 < 4 ? 1 : 5;  // forward, now and then back
    cache.hint({f[(i + turn) % 6], f[(i + 6 - turn) % 6]}, std::to_string(i % 2),
               [](auto&) { return std::make_shared<Prepared>(); });
    CachedPicture got;
    if (cache.take(f[i % 6], got)) cache.keep(std::move(got));
    EXPECT_LE(cache.held(), PictureCache::kHeld);
  }
}

}  // namespace
}  // namespace zelmar::test
