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

TEST_F(ResizeTest, OffersThePresentSizeAndItsHalfInChineseAndResamplesToTheSizeConfirmed) {
  QStringList shown;
  EXPECT_EQ(resize(640, 480,
                   [&](PrnFrm& f) {
                     shown << f.windowTitle()
                           << f.Check1->text() + f.Command1->text() + f.Command2->text();
                     for (QLabel* l : {f.Label3, f.Label4, f.Label1, f.Label2}) shown << l->text();
                     for (QLineEdit* t : {f.Text3, f.Text4, f.Text1, f.Text2})
                       shown << t->text() + (t->isEnabled() ? "+" : "-");
                     f.Command1_Click();
                   }),
            QSize(320, 240));
  EXPECT_EQ(shown, (QStringList{"设置图像新尺寸", "保持纵横比确认[&O]取消[&C]", "原宽度(像素):",
                                "原高度(像素):", "新宽度(像素):", "新高度(像素):", "640-", "480-",
                                "320+", "240+"}));
  // Halves go to the even neighbour, and beyond 16 bits.
  const struct {
    int width, height;
    const char *newWidth, *newHeight;
  } halves[] = {{641, 479, "320", "240"}, {643, 2, "322", "1"}, {65535, 1, "32768", "0"}};
  for (const auto& h : halves) {
    QString offered;
    EXPECT_EQ(resize(h.width, h.height,
                     [&](PrnFrm& f) {
                       offered = f.Text1->text() + "x" + f.Text2->text();
                       f.Text2->setText("1");
                       f.Command1_Click();
                     }),
              QSize(std::atoi(h.newWidth), 1));
    EXPECT_EQ(offered, QString(h.newWidth) + "x" + h.newHeight);
  }
}

TEST_F(ResizeTest, KeepRatioFollowsBothWaysAndSizesTheEngineRefusesChangeNothing) {
  // Keep ratio on 640 x 480: ticking rewrites the height, each box the other.
  const struct {
    QString width, height;  // typed in this order; empty: left alone
    QSize result;
  } rows[] = {
      {"100", "", {100, 75}},         {"", "3", {4, 3}},
      {"  ", "", {640, 480}},         {"7cm", "", {7, 5}},
      {"0", "0", {640, 480}},         {"1", "1", {1, 1}},
      {"65536", "65536", {640, 480}}, {"abc", "", {640, 480}},
      {"-5", "", {640, 480}},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(resize(640, 480,
                     [&](PrnFrm& f) {
                       f.Check1->setChecked(true);
                       EXPECT_EQ(f.Text2->text(), " 240");
                       if (!r.width.isEmpty()) f.Text1->setText(r.width);
                       if (!r.height.isEmpty()) f.Text2->setText(r.height);
                       f.Command1_Click();
                     }),
              r.result)
        << r.width.toStdString() << "x" << r.height.toStdString();
  }
  EXPECT_EQ(resize(640, 480, [](PrnFrm& f) { f.close(); }), QSize(640, 480));
  EXPECT_TRUE(messages.isEmpty());
}

}  // namespace
