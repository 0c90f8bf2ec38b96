// The processing commands on the real control with real pictures, with the
// frame's order where users depend on it; clipboard and scanner.
#include <dlfcn.h>

#include <fstream>

#include "app/viewer_fixture.h"
#include "engine/ops/ops.h"

namespace {

using zelmar::Picture;
using zelmar::test::closeColours;
using zelmar::test::makePattern;
namespace ops = zelmar::ops;
using Op = std::function<zelmar::Status(Picture&)>;

// A copy of `p`, changed by the core's own `op`.
Picture copy(const Picture& p, const Op& op = {}) {
  Picture q;
  EXPECT_TRUE(p.cloneTo(q).ok() && (!op || op(q).ok()));
  return q;
}
bool same(const Picture& a, const Picture& b) {
  return a.bits() == b.bits() && (a.empty() ? b.empty() : bool(closeColours(a, b, 0)));
}
Picture saturated(const Picture& p, int value) {
  return copy(p, [&](Picture& q) { return ops::adjustSaturation(copy(q), value, q); });
}

// "title|captions...|OK's spoken name|centred" of a dialog on screen.
QString shownAs(const QWidget& d, QStringList captions) {
  captions << d.findChild<QWidget*>("Command1")->accessibleName()
           << (centred(d) ? "centred" : "aside");
  return d.windowTitle() + "|" + captions.join('|');
}

class ProcessTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    start();
  }
  // Puts a copy of `p` on screen and forgets the calls so far.
  void adopt(const Picture& p) {
    spy().failing.clear();
    spy().adoptPicture(copy(p));
    spy().Repaint();
    spy().log.clear();
  }
};

TEST_F(ProcessTest, OneStepCommandsFromMenuAndPopUpInBothStartModesWithTheFrameInOrder) {
  // The core's own operation gives the picture after; none: nothing happens
  // at all (no frame, so no busy cursor). Bits 0: no picture, so refused.
  // clang-format off
  const struct { const char* command; int bits; bool gray; Op op; const char* failing = ""; } rows[] = {
      {"idm_cinverse", 24, false, ops::invertColors}, {"idm_invert", 4, false, ops::mirrorHorizontal},
      {"idm_Flip", 1, false, ops::flipVertical}, {"idm_Flip", 1, false, ops::flipVertical, "Repaint"},
      {"idm_Emboss", 24, false, [](Picture& p) { return ops::applyFilter(p, ops::Filter::Emboss); }}, {"idm_Emboss", 0, false, {}},
      {"idm_fringer", 24, false, [](Picture& p) { return ops::applyFilter(p, ops::Filter::EdgeDetect); }},
      {"idm_enhanceb", 8, false, [](Picture& p) { return ops::enhanceEdges(p, 100); }},
      {"idm_toGray", 8, true, [](Picture& p) { return ops::toGrayscale(p); }}, {"idm_toGray", 0, false, {}},
      {"idm_halftone", 8, true, [](Picture& p) { return ops::makeHalftone(p, ops::Halftone::ClusteredDot); }},
      {"idm_halftone", 1, false, {}}, {"idm_toRGB", 24, false, {}}, {"idm_to8bit", 8, true, {}},
      {"idm_to4Bit", 4, false, {}}, {"idm_to1Bit", 1, false, {}},
      {"idm_toRGB", 4, false, [](Picture& p) { return ops::changeColorDepth(p, 24, ops::Dither::Nearest); }},
      {"idm_to8bit", 24, false, [](Picture& p) { return ops::changeColorDepth(p, 8, ops::Dither::ErrorDiffusion); }},
      {"idm_to4Bit", 1, false, [](Picture& p) { return ops::changeColorDepth(p, 4, ops::Dither::ErrorDiffusion); }},
      {"idm_to1Bit", 24, false, [](Picture& p) { return ops::changeColorDepth(p, 1, ops::Dither::ErrorDiffusion); }}};
  // clang-format on
  QStringList calls;  // a star: the busy cursor was on during the call
  const char* chosen = nullptr;
  for (bool embedded : {false, true}) {
    start(embedded ? pictures({"a.bmp"})[0] : QString());
    ctx().prompt().setPopupHook([&](QMenu& m) { return m.findChild<QAction*>(chosen); });
    spy().onCall = [&](const QString& c) {
      calls << c + (QApplication::overrideCursor() ? "*" : "");
    };
    spy().setRaiseErrors(!embedded);  // embedded, failures come back as results
    for (const auto& r : rows) {
      for (uint32_t size : {9u, 1u}) {  // the 1-pixel picture through the pop-up
        SCOPED_TRACE(r.command + std::to_string(r.bits * 100 + int(size) * 10 + embedded));
        const Picture before =
            r.bits ? makePattern(size, size - size / 3, r.bits, r.gray) : Picture();
        adopt(before);
        spy().setRepaintEnabled(!embedded);  // and repaint starts off
        spy().failing = r.failing;
        calls.clear();
        chosen = r.command;
        size == 1 ? tool()->button("func")->trigger() : click(r.command);
        const Picture expected = copy(before, r.op);
        EXPECT_TRUE(same(spy().picture(), expected));
        const QString framed = QString("setRepaintEnabled(false)*|") +
                               (r.bits ? "Repaint()*|" : "") +
                               QString("setRepaintEnabled(%1)").arg(embedded ? "false" : "true");
        EXPECT_EQ(calls.join('|'), r.op || !r.bits ? framed : "");
        EXPECT_TRUE(spy().RepaintEnabled() == !embedded && messages.isEmpty());
      }
    }
  }
}

TEST_F(ProcessTest, RotateTurnsByTheTypedAngleItsDialogComesBackAsDesignedAndAHugePictureStays) {
  constexpr int32_t kNone = 1;  // not turned
  // O OK, C Cancel, X the close box, E Escape (nothing) then Cancel, 2 OK twice at once.
  // clang-format off
  const struct { int16_t chinese; const char* typed; char answer; int32_t angle; const char* offered; } rows[] = {
      {1, nullptr, 'O', 9000, "9000"}, {1, "1800", 'C', kNone, "9000"}, {0, nullptr, 'O', 1800, "1800"},
      {0, "1800", 'X', kNone, "9000"}, {0, "1800", 'E', kNone, "9000"}, {0, "  -4 5.5e2xyz", '2', -4550, "1800"},
      {0, "4501.5", 'O', 4502, "9000"}, {0, "abc", 'O', 0, "9000"}, {0, "-36000", 'O', -36000, "9000"},
      {0, "1e30", 'O', 2147483647, "9000"}, {0, "-99999999999", 'O', -2147483647 - 1, "9000"}};
  const QString texts[] = {"Degree|%1|Degree(1/100)|&OK|&Cancel|OK|centred", "输入角度|%1|角度(1/100度)|确认&O|取消&C|确认|centred"};
  // clang-format on
  const QColor back = spy().BackColor();
  const zelmar::Rgb fill{uint8_t(back.red()), uint8_t(back.green()), uint8_t(back.blue())};
  const Picture pictures[] = {makePattern(7, 5, 24), makePattern(1, 1, 8)};
  for (const Picture& before : pictures) {
    for (const auto& r : rows) {
      SCOPED_TRACE(r.typed ? r.typed : "offered");
      ctx().setUseChinese(r.chinese);
      adopt(before);
      QString seen;
      withDialog<DegFrm>("idm_rotate", [&](DegFrm& d) {
        seen =
            shownAs(d, {d.Text1->text(), d.Label1->text(), d.Command1->text(), d.Command2->text()});
        d.move(3, 3);  // dragged aside: the next showing centres it again
        if (r.typed) d.Text1->setText(r.typed);
        if (r.answer == 'E') QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_TRUE(d.isVisible());
        if (r.answer == 'X') return void(d.close());
        (r.answer == 'O' || r.answer == '2' ? d.Command1 : d.Command2)->click();
        if (r.answer == '2') d.Command1->click();
      });
      EXPECT_EQ(seen, texts[r.chinese].arg(r.offered));
      const bool turned = r.angle != kNone;
      const Picture expected = copy(before, [&](Picture& p) {
        return turned ? ops::rotate(p, r.angle, true, fill) : zelmar::Status{};
      });
      EXPECT_TRUE(same(spy().picture(), expected));
      EXPECT_EQ(spy().count("Repaint"), turned ? 1 : 0);
      EXPECT_EQ(window->rotateDialog().loaded(),
                r.answer == 'C' || r.answer == 'E');  // kept after Cancel
    }
  }
  adopt(Picture());  // a turn the engine refuses: no message, and "9000" next time
  withDialog<DegFrm>("idm_rotate", [](DegFrm& d) { d.Command1_Click(); });
  EXPECT_FALSE(window->rotateDialog().loaded() || !messages.isEmpty());
  // 40000 x 20000 at 8 bits (800 MB): mirrored in place; turned by 45
  // degrees its canvas would pass the engine's limits.
  Picture huge;
  ASSERT_TRUE(Picture::create(40000, 20000, 8, huge).ok());
  for (uint32_t y = 0; y < huge.height(); ++y) std::fill_n(huge.row(y), huge.width(), uint8_t(y));
  huge.row(0)[0] = 255;
  spy().adoptPicture(std::move(huge));
  spy().log.clear();
  click("idm_invert");
  withDialog<DegFrm>("idm_rotate", [](DegFrm& d) {
    d.Text1->setText("4500");
    d.Command1_Click();
  });
  EXPECT_TRUE(spy().ImageWidth() == 40000 && spy().picture().row(0)[0] == 0 &&
              spy().picture().row(0)[39999] == 255);
  EXPECT_EQ(spy().count("Repaint"), 1);
}

TEST_F(ProcessTest, ColourAdjustPreviewsKeepsOnOkAndCancelReturnsToThePictureItFound) {
  const auto grey = [this] {  // the mean grey of what the screen shows
    return qGray(
        spy().frame().scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(0, 0));
  };
  const Picture original = zelmar::test::makePhoto(64, 48);
  adopt(original);
  // Each row a fresh dialog: the language and the brightness before it; the
  // steps; O OK, C Cancel, X the close box; the brightness after; the
  // saturation values the picture has had in turn since the start.
  // clang-format off
  const struct { int16_t chinese; int32_t base; int bright, contrast, sat; char answer; int32_t after; std::vector<int> had; } rows[] = {
      {1, 0, 10, -99, -3, 'C', 0, {}}, {0, 0, 20, 0, 5, 'O', 200, {50}}, {0, 200, 5, 0, -3, 'X', 200, {50}},
      {0, 1000, 99, 0, 0, 'O', 1000, {50}}, {0, 1000, -99, 0, 7, 'O', 10, {50, 70}}, {0, 10, 0, 0, -2, 'C', 10, {50, 70}}};
  const QString texts[] = {"Color Adjust|Brightness|Contrast|Saturation|&OK|&Cancel|000|OK|centred",
                           "颜色调节|亮度|对比度|饱和度|确认&O|取消&C|000|确认|centred"};
  // clang-format on
  Picture found = copy(original);
  for (const auto& r : rows) {
    SCOPED_TRACE(r.answer);
    ctx().setUseChinese(r.chinese);
    spy().setDisplayBrightness(r.base);
    spy().Repaint();
    const int before = grey();
    withDialog<AdjFrm>("idm_coloradjust", [&](AdjFrm& d) {
      EXPECT_EQ(
          shownAs(d, {d.Label1->text(), d.Label2->text(), d.Label3->text(), d.Command1->text(),
                      d.Command2->text(), d.Label4->text() + d.Label5->text() + d.Label6->text()}),
          texts[r.chinese]);
      d.HScroll1->setValue(r.bright);
      EXPECT_EQ(d.Label4->text().toInt(), r.bright);
      EXPECT_EQ(grey() > before + 5, spy().DisplayBrightness() > r.base);  // brighter on screen
      d.HScroll2->setValue(r.contrast);
      EXPECT_EQ(spy().DisplayContrast(), r.contrast * 10);
      d.HScroll3->setValue(-r.sat);
      d.HScroll3->setValue(r.sat);  // replaces the step before, not on top of it
      EXPECT_TRUE(same(spy().picture(), saturated(found, r.sat * 10)));
      if (r.answer == 'X') return void(d.close());
      (r.answer == 'O' ? d.Command1 : d.Command2)->click();
    });
    EXPECT_TRUE(spy().DisplayBrightness() == r.after && spy().DisplayContrast() == 0);
    EXPECT_TRUE(spy().RepaintEnabled() && spy().EraseBackground());
    found = copy(original);
    for (int v : r.had) found = saturated(found, v);
    EXPECT_TRUE(same(spy().picture(), found));
    QApplication::processEvents();  // the screen has caught up with it
    const QImage shown = spy().frame();
    spy().Repaint();
    EXPECT_EQ(spy().frame(), shown);
  }
  adopt(Picture());  // no picture: the engine's refusals are absorbed
  withDialog<AdjFrm>("idm_coloradjust", [](AdjFrm& d) {
    d.HScroll3->setValue(9);
    d.Command1_Click();
  });
  EXPECT_TRUE(spy().picture().empty() && messages.isEmpty());
}

TEST_F(ProcessTest,
       ClipboardRoundTripsBetweenTwoEnginesAcquireScansOrSaysWhyNotFailuresEndSilently) {
  useList(pictures({"a.bmp", "b.bmp"}));
  ctx().setPictureIndex(1);
  ImageControl other;
  const Picture mine = makePattern(9, 7, 24), theirs = makePattern(5, 3, 4, false, 3);
  adopt(mine);
  click("idm_copy");
  ASSERT_EQ(other.PasteFromClipboard(0), 0);
  EXPECT_TRUE(closeColours(other.picture(), mine, 0));
  other.adoptPicture(copy(theirs));
  other.CopyToClipboard(2);
  click("idm_paste");
  EXPECT_TRUE(closeColours(spy().picture(), theirs, 0));
  EXPECT_EQ(spy().log, QStringList{"Repaint()"});  // the copy painted nothing
  EXPECT_TRUE(ctx().PictureCount() == 2 && ctx().PictureIndex() == 1);
  adopt(Picture());  // nothing to copy: the clipboard keeps what it had
  click("idm_copy");
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(5, 3));
  QGuiApplication::clipboard()->clear();  // nothing to paste: the picture stays
  adopt(mine);
  click("idm_paste");
  EXPECT_TRUE(same(spy().picture(), mine) && spy().log.isEmpty() && messages.isEmpty());
  // SANE reads SANE_CONFIG_DIR once per process, the files in it at every
  // start. The test backend leaks its read buffer when a scan is cancelled:
  // kept loaded, the leak checker can name it.
  const zelmar::test::TempDir sane;
  setenv("SANE_CONFIG_DIR", sane.path().c_str(), 1);
  for (std::string arch : {"x86_64", "aarch64"})
    dlopen(("/usr/lib/" + arch + "-linux-gnu/sane/libsane-test.so.1").c_str(),
           RTLD_NOW | RTLD_NODELETE);
  std::ofstream(sane.file("test.conf")) << "number_of_devices 1\nmode Color\n";
  // The answer in the scan dialog: S scan, C cancel, H cancel halfway; none: no scanner.
  // clang-format off
  const QString zh = "提示用户|TWAIN 设备没有准备好！", prepare = "提示用户|TWAIN device is not ready.",
                acquire = "提示用户|TWAIN is not ready";
  const struct { int16_t chinese; char answer; QString message; } rows[] = {
      {0, 0, prepare}, {1, 0, zh}, {-1, 0, prepare}, {0, 'S', ""}, {0, 'C', acquire}, {-1, 'H', acquire}, {1, 'H', zh}};
  // clang-format on
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(1, r.answer) + std::to_string(r.chinese));
    std::ofstream(sane.file("dll.conf")) << (r.answer ? "test\n" : "");
    ctx().setUseChinese(r.chinese);
    adopt(makePattern(4, 4, 24));
    spy().setAcquireOption(0);
    messages.clear();
    if (r.answer)
      withDialog<QDialog>("acquire", [&](QDialog& d) {
        auto* resolution = d.findChild<QComboBox*>("resolution");
        resolution->setCurrentIndex(resolution->findData(r.answer == 'H' ? 150 : 75));
        auto* progress = d.findChild<QProgressBar*>("progress");
        if (r.answer == 'H')
          QObject::connect(progress, &QProgressBar::valueChanged, &d, &QDialog::reject);
        d.findChild<QPushButton*>(r.answer == 'C' ? "cancelButton" : "scanButton")->click();
      });
    else
      window->doFunc("acquire");
    EXPECT_EQ(messages.join(""), r.message);
    EXPECT_TRUE(spy().AcquireOption() == (r.answer ? 9 : 0) && spy().RaiseErrors());
    EXPECT_EQ(spy().ImageWidth(), r.answer == 'S' ? 236 : 4);  // the test backend's page at 75 dpi
    EXPECT_EQ(spy().count("Repaint"), r.answer == 'S' ? 1 : 0);
    EXPECT_EQ(ctx().PictureCount(), 2);  // a scan joins no list
  }
}

TEST_F(ProcessTest, ResizeOffersThePresentSizeAndItsHalfKeepsTheRatioAndTheEngineJudgesTheSize) {
  ctx().setUseChinese(0);  // the dialog reads in Chinese all the same
  // Resize on a `width` x `height` picture, `inside` driving the dialog; the
  // size the picture ends at.
  const auto resize = [&](int width, int height, std::function<void(PrnFrm&)> inside) {
    adopt(makePattern(uint32_t(width), uint32_t(height), 8));
    withDialog<PrnFrm>("idm_resize", inside);
    EXPECT_FALSE(window->printDialog().loaded());
    return QSize(int(spy().ImageWidth()), int(spy().ImageHeight()));
  };
  QStringList shown;
  const auto look = [&](PrnFrm& f) {
    shown << f.windowTitle() << f.Check1->text() + f.Command1->text() + f.Command2->text();
    for (QLabel* l : {f.Label3, f.Label4, f.Label1, f.Label2}) shown << l->text();
    for (QLineEdit* t : {f.Text3, f.Text4}) shown << t->text() + (t->isEnabled() ? "+" : "-");
    f.close();  // by the title bar: nothing changes
  };
  EXPECT_EQ(resize(640, 480, look), QSize(640, 480));
  EXPECT_EQ(shown,
            (QStringList{"设置图像新尺寸", "保持纵横比确认[&O]取消[&C]", "原宽度(像素):",
                         "原高度(像素):", "新宽度(像素):", "新高度(像素):", "640-", "480-"}));
  const struct {
    int width, height;
    const char* offered;  // halves go to the even neighbour, beyond 16 bits too
    bool keep;            // keep ratio ticked: it rewrites the height, then each box the other
    QString newWidth, newHeight;  // typed in this order; empty: left alone
    QSize result;
  } rows[] = {
      // clang-format off
      {640, 480, "320x240", false, "", "", {320, 240}}, {641, 479, "320x240", false, "", "", {320, 240}},
      {643, 2, "322x1", false, "", "", {322, 1}}, {65535, 1, "32768x0", false, "", "1", {32768, 1}},
      {640, 480, "320x240", true, "100", "", {100, 75}}, {640, 480, "320x240", true, "", "3", {4, 3}},
      {640, 480, "320x240", true, "7cm", "", {7, 5}}, {640, 480, "320x240", true, "  ", "", {640, 480}},
      {640, 480, "320x240", false, "0", "0", {640, 480}}, {640, 480, "320x240", false, "1", "1", {1, 1}},
      {640, 480, "320x240", false, "65536", "65536", {640, 480}},
      {640, 480, "320x240", false, "abc", "-5", {640, 480}},
      // clang-format on
  };
  for (const auto& r : rows) {
    QString offered;
    const auto type = [&](PrnFrm& f) {
      offered = f.Text1->text() + "x" + f.Text2->text();
      f.Check1->setChecked(r.keep);
      EXPECT_EQ(f.Text2->text(), r.keep ? " 240" : QString(r.offered).section('x', 1));
      if (!r.newWidth.isEmpty()) f.Text1->setText(r.newWidth);
      if (!r.newHeight.isEmpty()) f.Text2->setText(r.newHeight);
      f.Command1_Click();
    };
    EXPECT_EQ(resize(r.width, r.height, type), r.result)
        << r.width << " " << r.newWidth.toStdString();
    EXPECT_EQ(offered, r.offered);
  }
  EXPECT_TRUE(messages.isEmpty());  // refusals are absorbed
}

}  // namespace
