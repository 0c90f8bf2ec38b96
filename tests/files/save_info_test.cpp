// Save As through Qt's own dialog as a user drives it, every type read back
// by the engine and ImageMagick; the information dialog; no printer.
#include "app/viewer_fixture.h"
#include "files/InfoFrm.h"
#include "files/format_name.h"
#include "support/process.h"

namespace {

namespace fs = std::filesystem;
using zelmar::Picture;
using Button = QMessageBox::StandardButton;
std::string bytes(const QString& name) { return filenames::nameToBytes(name).toStdString(); }

class SaveInfoTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    start();
    show(photo);
  }
  void show(const Picture& picture, const QString& name = "shown.bmp") {
    ASSERT_TRUE(zelmar::savePicture(picture, bytes(path(name)), 6, 0, 64, false).ok());
    useList({path(name)});
    window->ShowPicture(0);
  }
  ImageControl& engine() { return *static_cast<ImageControl*>(ctx().Engine1()); }
  // As a user: picks type `type` (from 1), types `name`, presses Save, and
  // answers `reply` when the dialog asks to replace a file.
  void save(int type, const QString& name, Button reply = QMessageBox::NoButton) {
    withDialog<QFileDialog>("save", [&](QFileDialog& d) {
      auto* types = d.findChild<QComboBox*>("fileTypeCombo");
      types->setCurrentIndex(type - 1);
      emit types->activated(type - 1);
      // Typing into the focused box drops the list's selection; offscreen it has no focus.
      d.findChild<QAbstractItemView*>("listView")->clearSelection();
      d.findChild<QLineEdit*>("fileNameEdit")->setText(name);
      if (reply != QMessageBox::NoButton)
        QTimer::singleShot(0, [reply] {
          qobject_cast<QMessageBox*>(QApplication::activeModalWidget())->button(reply)->click();
        });
      QMetaObject::invokeMethod(&d, "accept");  // the Save button
    });
  }
  // The information dialog's labels from `first`, every other one.
  QStringList info(int first = 2) {
    QStringList texts;
    withDialog<InfoFrm>("info", [&](InfoFrm& f) {
      texts << f.windowTitle() << f.Command1->text();
      for (int i = first; i <= 26; i += 2)
        texts << f.findChild<QLabel*>(QString("Label%1").arg(i))->text();
      f.Command1->click();
    });
    return texts.mid(first == 2 ? 2 : 0);
  }
  const Picture photo = zelmar::test::makePhoto(64, 48);
};

TEST_F(SaveInfoTest, EachTypeWritesItsFormatUnderTheNameAsTypedReadBackByUsAndImageMagick) {
  const Picture bilevel = zelmar::test::makePattern(64, 48, 1, true);
  const struct {
    int type;
    const char* name;
    int16_t format;
    const char* compression;
  } rows[] = {
      {2, "b.bmp", 6, "None"},  {3, "p.pcx", 1, "RLE"},  {4, "t.tif", 3, "LZW"},
      {5, "j.jpg", 21, "JPEG"}, {6, "g.tga", 4, "None"}, {7, "c.cmp", 5, "zstd"},
      {1, "a.jpg", 6, "None"},   // All Files: a bitmap, whatever the name says
      {5, "1.jpg", 10, "JPEG"},  // a 1-bit picture, as grey JPEG
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    const bool oneBit = r.name[0] == '1', exact = r.format != 10 && r.format != 21;
    const Picture& source = oneBit ? bilevel : photo;
    const double tolerance = exact ? 0 : oneBit ? 80 : 6;  // JPEG blurs a busy two-colour pattern
    show(source);
    save(r.type, path(r.name));
    EXPECT_TRUE(messages.isEmpty());
    useList({path(r.name)});
    ASSERT_EQ(window->ShowPicture(0), 0);
    EXPECT_LE(zelmar::test::meanChannelDiff(engine().picture(), source), tolerance);
    const QString bits = oneBit ? " 8" : " 24",
                  size = QString(" %1").arg(fs::file_size(bytes(path(r.name))));
    // Pixels, and a grey palette of 256 three-byte entries at 8 bits.
    const QString mem = QString(" %1").arg(oneBit ? 64 * 48 + 256 * 3 : 64 * 48 * 3);
    EXPECT_EQ(info(),
              (QStringList{bits, " 64", " 48", oneBit ? "是" : "否", path(r.name), bits, size, mem,
                           files::FormatName(r.format), r.compression, " 64", " 48", " 1"}));
    if (r.format == 5) continue;  // our own format
    const zelmar::test::TempDir out;
    const auto im = zelmar::test::run(
        {ZELMAR_IM_CONVERT, bytes(path(r.name)), "-auto-orient", out.file("i.ppm")});
    Picture seen;
    ASSERT_TRUE(im.exitCode == 0 && zelmar::test::readPnm(out.file("i.ppm"), seen)) << im.err;
    EXPECT_LE(zelmar::test::meanChannelDiff(seen, engine().picture()), exact ? 0 : 1);
  }
}

TEST_F(SaveInfoTest, TheDialogStartsOnBitmapAndTheShownFileBadTargetsWriteNothingReplacingAsks) {
  withDialog<QFileDialog>("save", [&](QFileDialog& d) {
    EXPECT_EQ(d.windowTitle(), "保存图象对话框");
    EXPECT_EQ(d.nameFilters(),
              (QStringList{"All Files (*.*)", "Bitmap(*.BMP)", "ZSoft PCX(*.PCX)", "TIFF(*.TIF)",
                           "JPEG(*.JPG)", "TARGA(*.TGA)", "CMP(*.CMP)"}));
    EXPECT_EQ(d.selectedNameFilter(), "Bitmap(*.BMP)");
    EXPECT_EQ(d.selectedFiles(), QStringList{window->windowTitle()});
  });
  fs::create_directory(bytes(path("folder")));
  const QString raw = path(filenames::nameFromBytes("raw\xFF.bmp"));
  const struct {
    QString name;
    int16_t chinese;
    QString message;  // empty: none
  } rows[] = {
      {"/proc/zelmar.bmp", 0, "Message|It does not support this format"},
      {path("shown.bmp/x.bmp"), 1, "信息显示|不能存为这种格式"},  // a file is no folder
      {path("folder"), 0, ""},  // the dialog goes into the folder and stays open
      {path("图片.bmp"), 0, ""},
      {raw, 0, ""},
  };
  for (const auto& r : rows) {
    messages.clear();
    ctx().setUseChinese(r.chinese);
    save(2, r.name);
    EXPECT_EQ(messages, r.message.isEmpty() ? QStringList{} : QStringList{r.message});
    EXPECT_EQ(fs::is_regular_file(bytes(r.name)), r.message.isEmpty() && r.name != path("folder"));
  }
  // Qt's dialog asks before replacing a name it can see, we ask for the
  // others; No keeps the file as it was.
  for (const QString& name : {path("shown.bmp"), raw})
    for (Button reply : {QMessageBox::No, QMessageBox::Yes}) {
      messages.clear();
      answer = reply;
      save(3, name, name == raw ? QMessageBox::NoButton : reply);
      zelmar::Decoded now;
      EXPECT_TRUE(messages.size() == (name == raw) &&
                  zelmar::loadPicture(bytes(name), {}, now).ok());
      EXPECT_EQ(now.facts.fileFormat, reply == QMessageBox::Yes ? 1 : 6);
    }
}

TEST_F(SaveInfoTest, InformationCaptionsInBothLanguagesNoStaleNameAndPrintingWithoutAPrinter) {
  ctx().setUseChinese(0);
  EXPECT_EQ(info(1),
            (QStringList{"Information", "&Cancel", "Color Bits", "Width(Pixels)", "Heigth(Pixels)",
                         "Gray", "Filename", "Origin Color", "File Size", "Mem Size", "File Format",
                         "Compression", "Origin Width", "Origin Height", "MultiPage"}));
  ctx().setUseChinese(1);
  EXPECT_EQ(info(1), (QStringList{"图象信息", "取消&C", "颜色比特数", "宽度", "高度", "灰度图象",
                                  "文件名", "原颜色", "文件大小", "内存大小", "文件格式", "压缩",
                                  "原宽度", "原高度", "多页"}));
  EXPECT_FALSE(window->infoWindow().loaded());
  // A position outside the list (after a paste, say) shows no name, though
  // the slots past the count still hold one.
  ctx().fillPictureList({path("shown.bmp"), path("stale.bmp")});
  ctx().setPictureIndex(1);
  EXPECT_EQ(info().value(4), "");
  Picture huge;  // sizes past 2^31 bytes show as they are
  engine().setRepaintEnabled(false);
  ASSERT_TRUE(Picture::create(32768, 22000, 24, huge).ok());
  engine().adoptPicture(std::move(huge));
  EXPECT_EQ(info().value(7), " 2162688000");
  engine().adoptPicture(Picture());
  window->doFunc("info");  // no picture: no dialog
  EXPECT_FALSE(window->infoWindow().loaded());
  // Without a printer, printing says so in the current language.
  qputenv("CUPS_SERVER", "/nonexistent/cups.sock");  // no scheduler, so no printer
  for (int16_t chinese : {0, 1}) {
    ctx().setUseChinese(chinese);
    window->doFunc("print");
  }
  useList({});
  window->doFunc("print");  // an empty list: nothing at all
  EXPECT_EQ(messages,
            (QStringList{"Message|No printer is installed. Add a printer and make it the default.",
                         "信息显示|没有安装打印机。请添加打印机并设为默认打印机。"}));
  EXPECT_FALSE(window->printDialog().loaded());
}

TEST(FormatName, EveryCodeOfTheTableAndUnkonwnForOthers) {
  QStringList names;
  for (int16_t code :
       {5,  10, 23, 21, 11, 24, 22, 30, 3,  85, 93, 87, 88,  95,  6,   84,  14,  74, 91,
        92, 57, 80, 81, 82, 83, 96, 97, 98, 1,  4,  56, 200, 201, 202, 203, 204, 2,  -1})
    names << files::FormatName(code);
  EXPECT_EQ(names.join('|'),
            "CMP|JPEG YUV 4:4:4|JPEG YUV 4:2:2|JPEG YUV 4:1:1|TIF JPEG 4:4:4|TIF JPEG 4:2:2|"
            "TIF JPEG 4:1:1|CMP NO LOSS|TIFF|TIFF CMYK|TIFF YCbCr|||TIFF Format|Bitmap Format|||"
            "Bitmap Format||ICON or CUR format|Kodak PhotoCD||||FlashPix|||Exif Format|PCX format|"
            "Targa format|MacPict|PNG|GIF|WebP|HEIF|AVIF|Unkonwn format|Unkonwn format");
}

}  // namespace
