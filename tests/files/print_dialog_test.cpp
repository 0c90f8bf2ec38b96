// The centimetre arithmetic of printing, and printing with no printer
// installed. (The size dialog's behaviour is tested through Resize.)
#include "app/viewer_fixture.h"
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
