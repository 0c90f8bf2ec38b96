// Loads handed over by the prefetch cache, against fresh loads by an unhinted control.
#include <tuple>

#include "control_fixture.h"
#include "engine/io/file_io.h"
#include "support/pictures.h"
#include "support/temp_dir.h"

namespace zelmar::test {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// Everything the viewer can read of a load, and the frame it paints.
auto seen(ImageControl& c) {
  c.Repaint();
  return std::make_tuple(c.ImageWidth(), c.ImageHeight(), c.BitsPerPixel(), c.IsGray(),
                         c.FileFormat(), c.OriginWidth(), c.OriginHeight(), c.OriginBits(),
                         c.FileSize(), c.MemSize(), c.Compression(), c.PageCount(), c.frame());
}

TEST_F(ControlTest, APrefetchedLoadShowsWhatAFreshLoadShowsAndNeverAChangedPicture) {
  TempDir dir;
  ImageControl fresh;
  fresh.resize(control->size());
  const std::tuple<const char*, int, int> cases[] = {{"a.bmp", 6, 8},  {"a.pcx", 1, 4},
                                                     {"a.tif", 3, 24}, {"a.jpg", 21, 24},
                                                     {"a.tga", 4, 1},  {"a.cmp", 5, 24}};
  for (const auto& [name, format, bits] : cases) {
    SCOPED_TRACE(name);
    const std::string path = dir.file(name);
    ASSERT_TRUE(savePicture(makePattern(300, 170, bits), path, format, 0, 64, false).ok());
    control->PrefetchHint({q(path)});
    control->waitForPrefetch();
    const int rebuilds = control->viewRebuilds();
    ASSERT_EQ(fresh.LoadFile(q(path), 0, 0, 1), 0);
    ASSERT_EQ(control->LoadFile(q(path), 0, 0, 1), 0);
    EXPECT_EQ(seen(*control), seen(fresh));
    EXPECT_EQ(control->viewRebuilds(), rebuilds);  // painted from the copy made ahead
    EXPECT_TRUE(closeColours(control->picture(), fresh.picture(), 0));
  }
  // A picture changed on screen, or saved over its file, is not its file's.
  const std::string a = dir.file("x.bmp"), b = dir.file("y.bmp");
  ASSERT_TRUE(savePicture(makePhoto(40, 30, 1), a, 6, 0, 64, false).ok());
  ASSERT_TRUE(savePicture(makePhoto(40, 30, 2), b, 6, 0, 64, false).ok());
  ASSERT_EQ(control->LoadFile(q(a), 0, 0, 1), 0);
  ASSERT_EQ(control->MirrorHorizontal(), 0);
  control->PrefetchHint({q(b), q(a)});
  control->waitForPrefetch();
  ASSERT_EQ(control->LoadFile(q(b), 0, 0, 1), 0);  // the mirrored picture leaves
  ASSERT_EQ(control->LoadFile(q(a), 0, 0, 1), 0);
  EXPECT_TRUE(closeColours(control->picture(), makePhoto(40, 30, 1), 0));

  control->PrefetchHint({q(b)});
  control->waitForPrefetch();
  control->adoptPicture(makePhoto(40, 30, 3));  // as a paste or a scan gives it
  ASSERT_EQ(control->SaveFile(q(b), 6, 0, 64, false), 0);
  ASSERT_EQ(control->LoadFile(q(b), 0, 0, 1), 0);
  EXPECT_TRUE(closeColours(control->picture(), makePhoto(40, 30, 3), 0));
}

}  // namespace
}  // namespace zelmar::test
