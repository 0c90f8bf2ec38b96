// The print size dialog's texts, keep-ratio and number reading, the
// centimetre arithmetic, and printing with no printer installed.
#include "app/viewer_fixture.h"
#include "files/PrnFrm.h"
#include "files/print_command.h"

namespace {

TEST(PrintPlace, CentimetresBecomePrinterPixelsByEachAxisOwnResolution) {
  const struct {
    float top, left, width, height;
    int dpiX, dpiY;
  } rows[] = {{1, 1, 7, 5, 300, 300}, {2, 3, 4, 2, 600, 1200}, {0, -1, 21, 29.7f, 1200, 600}};
  for (const auto& r : rows) {
    const files::PrintPlace p = files::printPlace(r.top, r.left, r.width, r.height, r.dpiX, r.dpiY);
    EXPECT_NEAR(p.left, r.left / 2.54 * r.dpiX, 0.01);
    EXPECT_NEAR(p.top, r.top / 2.54 * r.dpiY, 0.01);
    EXPECT_NEAR(p.width, r.width / 2.54 * r.dpiX, 0.01);
    EXPECT_NEAR(p.height, r.height / 2.54 * r.dpiY, 0.01);
  }
}

class PrintDialogTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    start();
    useList(pictures({"a.bmp"}));
    static_cast<ImageControl*>(ctx().Engine1())
        ->adoptPicture(zelmar::test::makePattern(800, 600, 8));
  }
};

TEST_F(PrintDialogTest, DesignTextsKeepRatioAndLenientNumbers) {
  PrnFrm f(ctx(), window.get());
  EXPECT_EQ(f.windowTitle(), "打印设置");
  QStringList texts;
  for (QWidget* w : f.findChildren<QWidget*>())
    if (auto* l = qobject_cast<QLabel*>(w))
      texts << l->objectName() + l->text();
    else if (auto* e = qobject_cast<QLineEdit*>(w))
      texts << e->objectName() + e->text();
  texts.sort();
  EXPECT_EQ(texts, (QStringList{"Label1宽度(厘米)：", "Label2高度(厘米)：", "Label3上边距(厘米)：",
                                "Label4左边距(厘米)：", "Text17", "Text25", "Text31", "Text41"}));
  EXPECT_EQ(f.Check1->text() + f.Command1->text() + f.Command2->text(),
            "保持纵横比确认[&O]取消[&C]");
  // Keep ratio on an 800 x 600 picture: each box follows the other.
  f.Check1->setChecked(true);
  EXPECT_EQ(f.Text2->text(), " 5.25");  // ticking recomputes the height from the width
  const struct {
    QLineEdit* typed;
    const char* text;
    QLineEdit* other;
    const char* follows;
  } steps[] = {{f.Text1, "8", f.Text2, " 6"},
               {f.Text2, "3", f.Text1, " 4"},
               {f.Text1, "  ", f.Text2, "3"},  // blanks leave the other as it was
               {f.Text1, "7cm", f.Text2, " 5.25"}};
  for (const auto& s : steps) {
    s.typed->setText(s.text);
    EXPECT_EQ(s.other->text(), s.follows) << s.text;
  }
  // OK reads the leading number of each box; text without one reads 0.
  const struct {
    const char* text;
    float value;
  } numbers[] = {{"12,5", 12}, {"abc", 0}, {"-2.5", -2.5f}, {"1e30", 1e30f}, {"", 0}};
  f.Check1->setChecked(false);
  for (const auto& n : numbers) {
    f.Text1->setText(n.text);
    f.Command1_Click();
    EXPECT_EQ(f.Confirmed, 1);
    EXPECT_EQ(f.SizeWidth, n.value) << n.text;
    EXPECT_EQ(f.SizeTop, 1);
  }
  f.Command2_Click();
  EXPECT_EQ(f.Confirmed, 0);
}

TEST_F(PrintDialogTest, NoPrinterSaysSoInTheCurrentLanguageAndAnEmptyListDoesNothing) {
  qputenv("CUPS_SERVER", "/nonexistent/cups.sock");  // no scheduler, so no printer
  for (int16_t chinese : {0, 1}) {
    ctx().setUseChinese(chinese);
    window->doFunc("print");
  }
  EXPECT_EQ(messages,
            (QStringList{"Message|No printer is installed. Add a printer and make it the default.",
                         "信息显示|没有安装打印机。请添加打印机并设为默认打印机。"}));
  EXPECT_FALSE(window->printDialog().loaded());
  useList({});
  window->doFunc("print");
  EXPECT_EQ(messages.size(), 2);
}

}  // namespace
