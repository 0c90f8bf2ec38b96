// Failures through the control: one exception type with a code when
// RaiseErrors is on, the code as the result when it is off, and the picture
// held always left as it was.
#include <QImage>
#include <QPainter>
#include <fstream>
#include <functional>

#include "control_fixture.h"
#include "engine/core/error.h"
#include "engine/ops/ops.h"
#include "support/pictures.h"
#include "support/temp_dir.h"

namespace zelmar::test {
namespace {

struct Call {
  const char* name;
  std::function<int(ImageEngine&)> run;
};

std::vector<Call> pictureCalls(const std::string& savePath, QPainter* painter) {
  return {
      {"SaveFile", [=](ImageEngine& e) { return e.SaveFile(QString::fromStdString(savePath), 6, 24, 64, false); }},
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
      {"RenderToDevice", [=](ImageEngine& e) { return e.RenderToDevice(painter, 0, 0, 10, 10); }},
  };
}

TEST_F(ControlTest, WithoutAPictureEveryOperationFailsByExceptionOrByResult) {
  TempDir dir;
  QImage page(20, 20, QImage::Format_RGB32);
  QPainter painter(&page);
  for (const Call& call : pictureCalls(dir.file("out.bmp"), &painter)) {
    SCOPED_TRACE(call.name);
    control->setRaiseErrors(true);
    try {
      call.run(*control);
      ADD_FAILURE() << "no exception";
    } catch (const EngineError& e) {
      EXPECT_EQ(e.code(), int(ErrorCode::NoPicture));
      EXPECT_STRNE(e.what(), "");
    }
    control->setRaiseErrors(false);
    EXPECT_EQ(call.run(*control), int(ErrorCode::NoPicture));
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.bmp")));
}

TEST_F(ControlTest, AFailedLoadKeepsThePictureAndItsFacts) {
  TempDir dir;
  std::ofstream(dir.file("empty.bmp")).close();
  std::ofstream(dir.file("junk.bmp")) << "this is not a picture at all";
  control->adoptPicture(makePattern(30, 20, 24));
  control->setRaiseErrors(false);
  const auto memSize = control->MemSize();
  struct Case {
    std::string path;
    ErrorCode code;
  };
  for (const Case& c : {Case{dir.file("missing.bmp"), ErrorCode::FileNotFound},
                        Case{dir.path().string(), ErrorCode::NotAFile},
                        Case{dir.file("empty.bmp"), ErrorCode::EmptyFile},
                        Case{dir.file("junk.bmp"), ErrorCode::UnknownFormat},
                        Case{"", ErrorCode::FileNotFound}}) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(control->LoadFile(QString::fromStdString(c.path), 0, 0, 1), int(c.code));
    EXPECT_EQ(control->ImageWidth(), 30);
    EXPECT_EQ(control->ImageHeight(), 20);
    EXPECT_EQ(control->BitsPerPixel(), 24);
    EXPECT_EQ(control->OriginWidth(), 30);
    EXPECT_EQ(control->MemSize(), memSize);
  }
  // Only the first page at the file's depth is offered.
  EXPECT_EQ(control->LoadFile("x.bmp", 8, 0, 1), int(ErrorCode::InvalidArgument));
  EXPECT_EQ(control->LoadFile("x.bmp", 0, 1, 1), int(ErrorCode::InvalidArgument));
  EXPECT_TRUE(sameColors(control->picture(), makePattern(30, 20, 24)));
}

TEST_F(ControlTest, RefusedOperationsAndSavesLeaveEverythingAsItWas) {
  TempDir dir;
  const std::string target = dir.file("keep.bmp");
  std::ofstream(target) << "old contents";
  control->adoptPicture(makePattern(30, 20, 24));
  control->Repaint();
  control->setRaiseErrors(false);
  const int paints = control->paintCount();
  EXPECT_NE(control->ApplyFilter(7), 0);
  EXPECT_NE(control->ResizeImage(0, 10, 1), 0);
  EXPECT_NE(control->ResizeImage(-4, -4, 1), 0);
  EXPECT_NE(control->AdjustSaturation(2000), 0);
  EXPECT_NE(control->SaveFile(QString::fromStdString(target), 99, 24, 64, false), 0);
  EXPECT_NE(control->CopyToClipboard(7), 0);
  QApplication::processEvents();
  EXPECT_EQ(control->paintCount(), paints);
  EXPECT_TRUE(sameColors(control->picture(), makePattern(30, 20, 24)));
  std::ifstream in(target);
  std::string text;
  std::getline(in, text);
  EXPECT_EQ(text, "old contents");
}

TEST_F(ControlTest, SaturationRunsStartFromThePictureBeforeTheRun) {
  const Picture original = makePhoto(40, 30);
  Picture copy;
  ASSERT_TRUE(original.cloneTo(copy).ok());
  control->adoptPicture(std::move(copy));
  control->setRaiseErrors(false);
  Picture probe;
  if (ops::adjustSaturation(original, 500, probe).code() == ErrorCode::Unsupported)
    GTEST_SKIP() << "the saturation operation is not in this build yet";

  ASSERT_EQ(control->AdjustSaturation(500), 0);
  ASSERT_EQ(control->AdjustSaturation(-300), 0);
  Picture expected;
  ASSERT_TRUE(ops::adjustSaturation(original, -300, expected).ok());
  EXPECT_EQ(maxChannelDiff(control->picture(), expected), 0);  // not -300 on top of +500
  ASSERT_EQ(control->AdjustSaturation(0), 0);
  EXPECT_EQ(maxChannelDiff(control->picture(), original), 0);

  // Another operation ends the run: 0 then gives back the mirrored picture.
  ASSERT_EQ(control->AdjustSaturation(500), 0);
  Picture saturated;
  ASSERT_TRUE(control->picture().cloneTo(saturated).ok());
  if (control->MirrorHorizontal() != 0) GTEST_SKIP() << "mirroring is not in this build yet";
  ASSERT_EQ(control->AdjustSaturation(0), 0);
  ASSERT_TRUE(ops::mirrorHorizontal(saturated).ok());
  EXPECT_EQ(maxChannelDiff(control->picture(), saturated), 0);
}

}  // namespace
}  // namespace zelmar::test
