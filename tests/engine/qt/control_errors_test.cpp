// Failures through the control: one exception type with a code when
// RaiseErrors is on, the code as the result when it is off, the picture held
// always left as it was; and each argument code running what it names.
#include <QPainter>
#include <fstream>
#include <functional>

#include "control_fixture.h"
#include "engine/io/file_io.h"
#include "engine/ops/ops.h"
#include "support/temp_dir.h"

namespace zelmar::test {
namespace {

using Call = std::pair<const char*, std::function<int(ImageEngine&)>>;

TEST_F(ControlTest, WithoutAPictureEveryOperationFailsAndAFailedLoadKeepsThePicture) {
  TempDir dir;
  QImage page(20, 20, QImage::Format_RGB32);
  QPainter painter(&page);
  const QString out = qpath(dir.file("out.bmp"));
  const Call calls[] = {
      {"SaveFile", [&](ImageEngine& e) { return e.SaveFile(out, 6, 24, 64, false); }},
      {"FlipVertical", [](ImageEngine& e) { return e.FlipVertical(); }},
      {"MirrorHorizontal", [](ImageEngine& e) { return e.MirrorHorizontal(); }},
      {"InvertColors", [](ImageEngine& e) { return e.InvertColors(); }},
      {"ApplyFilter", [](ImageEngine& e) { return e.ApplyFilter(5); }},
      {"EnhanceEdges", [](ImageEngine& e) { return e.EnhanceEdges(100); }},
      {"ToGrayscale", [](ImageEngine& e) { return e.ToGrayscale(8); }},
      {"MakeHalftone", [](ImageEngine& e) { return e.MakeHalftone(1, 0); }},
      {"ChangeColorDepth", [](ImageEngine& e) { return e.ChangeColorDepth(1, 2, 1, 0); }},
      {"ResizeImage", [](ImageEngine& e) { return e.ResizeImage(10, 10, 1); }},
      {"RotateImage", [](ImageEngine& e) { return e.RotateImage(4500, true, Qt::black); }},
      {"AdjustSaturation", [](ImageEngine& e) { return e.AdjustSaturation(100); }},
      {"CopyToClipboard", [](ImageEngine& e) { return e.CopyToClipboard(2); }},
      {"RenderToDevice", [&](ImageEngine& e) { return e.RenderToDevice(&painter, 0, 0, 10, 10); }},
  };
  for (const auto& [name, call] : calls) {
    control->setRaiseErrors(true);
    try {
      call(*control);
      ADD_FAILURE() << name << ": no exception";
    } catch (const EngineError& e) {
      EXPECT_EQ(e.code(), int(ErrorCode::NoPicture)) << name;
      EXPECT_STRNE(e.what(), "") << name;
    }
    control->setRaiseErrors(false);
    EXPECT_EQ(call(*control), int(ErrorCode::NoPicture)) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.bmp")));
  // A failed load keeps the picture and its facts.
  writeText(dir.file("junk.bmp"), "this is not a picture at all");
  // The file layer's own refusals (folders, empty files...) are its tests';
  // here, that any refusal leaves the control as it was. A panorama too
  // large to hold: each side fits, the pixels do not.
  Picture strip = makePattern(1, 1, 24);
  ASSERT_TRUE(savePicture(strip, dir.file("huge.bmp"), 6, 24, 64, false).ok());
  std::string huge = readText(dir.file("huge.bmp"));
  writeText(dir.file("huge.bmp"), huge.replace(18, 8, "\xdc\xff\0\0\xdc\xff\0\0", 8));  // 65500²
  control->adoptPicture(makePattern(30, 20, 24));
  control->setRaiseErrors(false);
  const int64_t memSize = control->MemSize();
  const std::pair<std::string, ErrorCode> cases[] = {
      {dir.file("missing.bmp"), ErrorCode::FileNotFound},
      {dir.file("junk.bmp"), ErrorCode::UnknownFormat},
      {dir.file("huge.bmp"), ErrorCode::LimitExceeded},
  };
  for (const auto& [path, code] : cases) {
    EXPECT_EQ(control->LoadFile(qpath(path), 0, 0, 1), int(code)) << path;
    EXPECT_EQ(control->OriginWidth(), 30) << path;
    EXPECT_EQ(control->MemSize(), memSize) << path;
  }
  // Only the first page at the file's depth is offered.
  EXPECT_EQ(control->LoadFile("x.bmp", 8, 0, 1), int(ErrorCode::InvalidArgument));
  EXPECT_EQ(control->LoadFile("x.bmp", 0, 1, 1), int(ErrorCode::InvalidArgument));
  EXPECT_TRUE(closeColours(control->picture(), makePattern(30, 20, 24), 0));
}

// The run's rules are the saturation session's (tests/engine/ops); here,
// that the control keeps one and ends it at another operation or a load.
TEST_F(ControlTest, EachArgumentCodeRunsWhatItNamesOthersAreRefusedAndSaturationKeepsARun) {
  TempDir dir;
  const Picture original = makePhoto(40, 30), next = makePhoto(40, 30, 3);
  ASSERT_TRUE(savePicture(next, dir.file("next.bmp"), 6, 24, 64, false).ok());
  Picture expected;
  ASSERT_TRUE(ops::adjustSaturation(original, -300, expected).ok());
  ASSERT_TRUE(ops::mirrorHorizontal(expected).ok());
  control->adoptPicture(copyOf(original));
  for (int v : {500, -300}) ASSERT_EQ(control->AdjustSaturation(v), 0);
  ASSERT_EQ(control->MirrorHorizontal(), 0);
  ASSERT_EQ(control->AdjustSaturation(0), 0);  // from the mirrored -300, not the original
  EXPECT_TRUE(closeColours(control->picture(), expected, 0));
  ASSERT_EQ(control->AdjustSaturation(600), 0);
  ASSERT_EQ(control->LoadFile(qpath(dir.file("next.bmp")), 0, 0, 1), 0);
  ASSERT_EQ(control->AdjustSaturation(0), 0);
  EXPECT_TRUE(closeColours(control->picture(), next, 0));
  // Each argument code runs the operation it names; others are refused.
  using Op = std::function<Status(Picture&)>;
  const struct {
    const char* name;
    std::function<int(ImageEngine&)> call;
    Op op;  // none: a code the control does not offer
  } cases[] = {
      {"emboss", [](ImageEngine& e) { return e.ApplyFilter(5); },
       [](Picture& p) { return ops::applyFilter(p, ops::Filter::Emboss); }},
      {"edges", [](ImageEngine& e) { return e.ApplyFilter(16); },
       [](Picture& p) { return ops::applyFilter(p, ops::Filter::EdgeDetect); }},
      {"grey", [](ImageEngine& e) { return e.ToGrayscale(8); }, ops::toGrayscale},
      {"halftone", [](ImageEngine& e) { return e.MakeHalftone(1, 0); },
       [](Picture& p) { return ops::makeHalftone(p, ops::Halftone::ClusteredDot); }},
      {"16 colours diffused", [](ImageEngine& e) { return e.ChangeColorDepth(4, 2, 1, 0); },
       [](Picture& p) { return ops::changeColorDepth(p, 4, ops::Dither::ErrorDiffusion); }},
      {"256 colours nearest", [](ImageEngine& e) { return e.ChangeColorDepth(8, 2, 0, 0); },
       [](Picture& p) { return ops::changeColorDepth(p, 8, ops::Dither::Nearest); }},
      {"2 colours", [](ImageEngine& e) { return e.ChangeColorDepth(1, 2, 1, 0); },
       [](Picture& p) { return ops::changeColorDepth(p, 1, ops::Dither::ErrorDiffusion); }},
      {"resample", [](ImageEngine& e) { return e.ResizeImage(10, 7, 1); },
       [](Picture& p) { return ops::resize(p, 10, 7, ops::ResizeMethod::Smooth); }},
      {"filter 7", [](ImageEngine& e) { return e.ApplyFilter(7); }, {}},
      {"grey 4", [](ImageEngine& e) { return e.ToGrayscale(4); }, {}},
      {"halftone kind 2", [](ImageEngine& e) { return e.MakeHalftone(2, 0); }, {}},
      {"halftone angle 45", [](ImageEngine& e) { return e.MakeHalftone(1, 45); }, {}},
      {"fixed palette", [](ImageEngine& e) { return e.ChangeColorDepth(8, 0, 1, 0); }, {}},
      {"dither 3", [](ImageEngine& e) { return e.ChangeColorDepth(8, 2, 3, 0); }, {}},
      {"a colour count", [](ImageEngine& e) { return e.ChangeColorDepth(8, 2, 1, 16); }, {}},
      {"16 bits", [](ImageEngine& e) { return e.ChangeColorDepth(16, 2, 1, 0); }, {}},
      {"resize method 0", [](ImageEngine& e) { return e.ResizeImage(10, 10, 0); }, {}},
      {"size 0", [](ImageEngine& e) { return e.ResizeImage(0, 10, 1); }, {}},
      {"saturation 2000", [](ImageEngine& e) { return e.AdjustSaturation(2000); }, {}},
      {"clipboard 7", [](ImageEngine& e) { return e.CopyToClipboard(7); }, {}},
      {"paste 1", [](ImageEngine& e) { return e.PasteFromClipboard(1); }, {}},
  };
  const Picture photo = makePhoto(24, 16);
  control->setRaiseErrors(false);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    control->adoptPicture(copyOf(photo));
    control->Repaint();
    const int paints = control->paintCount();
    Picture expected = copyOf(photo);
    if (c.op) {
      ASSERT_EQ(c.call(*control), 0);
      ASSERT_TRUE(c.op(expected).ok());
    } else {
      EXPECT_EQ(c.call(*control), int(ErrorCode::InvalidArgument));
      QApplication::processEvents();
      EXPECT_EQ(control->paintCount(), paints);
    }
    EXPECT_EQ(control->BitsPerPixel(), expected.bits());
    EXPECT_TRUE(closeColours(control->picture(), expected, 0));
  }
  // Expanding back to full colour ignores the other arguments; a format it
  // does not write leaves the file as it was.
  ASSERT_EQ(control->ChangeColorDepth(24, 0, 0, 0), 0);
  EXPECT_EQ(control->BitsPerPixel(), 24);
  writeText(dir.file("keep.bmp"), "old contents");
  EXPECT_EQ(control->SaveFile(qpath(dir.file("keep.bmp")), 99, 24, 64, false),
            int(ErrorCode::UnsupportedFormat));
  EXPECT_EQ(readText(dir.file("keep.bmp")), "old contents");
}

}  // namespace
}  // namespace zelmar::test
