// Resize through the print size dialog relabelled for pixels: the numbers
// it offers, keep-ratio, and the size the real control ends at.
#include "app/viewer_fixture.h"
#include "files/PrnFrm.h"

namespace {

class ResizeTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    start();
    ctx().setUseChinese(0);  // the dialog reads in Chinese all the same
  }
  // Resize on a `width` x `height` picture, `inside` driving the dialog
  // (left open: Cancel); the size the picture ends at.
  QSize resize(int width, int height, std::function<void(PrnFrm&)> inside) {
    static_cast<ImageControl*>(ctx().Engine1())
        ->adoptPicture(zelmar::test::makePattern(uint32_t(width), uint32_t(height), 8));
    QTimer::singleShot(0, [&] {
      auto* f = qobject_cast<PrnFrm*>(QApplication::activeModalWidget());
      ASSERT_NE(f, nullptr);
      inside(*f);
      if (f->isVisible()) f->Command2_Click();
    });
    window->runCommand(Command::idm_resize);
    EXPECT_FALSE(window->printDialog().loaded());
    return {int(ctx().Engine1()->ImageWidth()), int(ctx().Engine1()->ImageHeight())};
  }
};

TEST_F(ResizeTest, OffersThePresentSizeAndItsHalfKeepsTheRatioAndTheEngineJudgesTheSize) {
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
