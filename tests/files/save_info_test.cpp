// Save As through Qt's own dialog, driven as a user drives it, and the
// information dialog on what it wrote: every type's file read back by the
// engine and by ImageMagick, and its facts as the dialog shows them.
#include <filesystem>
#include <functional>

#include "app/viewer_fixture.h"
#include "files/InfoFrm.h"
#include "files/format_name.h"
#include "support/process.h"

namespace {

namespace fs = std::filesystem;
using zelmar::Picture;
using Button = QMessageBox::StandardButton;

class SaveInfoTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    start();
    show(zelmar::test::makePhoto(64, 48));
  }
  // Puts `picture` on screen from a bitmap file named `name`.
  void show(const Picture& picture, const QString& name = "shown.bmp") {
    const QString file = path(name);
    ASSERT_TRUE(zelmar::savePicture(picture, bytes(file), 6, 0, 64, false).ok());
    useList({file});
    window->ShowPicture(0);
  }
  static std::string bytes(const QString& name) {
    return filenames::nameToBytes(name).toStdString();
  }
  const Picture& held() { return static_cast<ImageControl*>(ctx().Engine1())->picture(); }

  // Runs Save As; `inside` drives the dialog, which is cancelled if still open.
  void saveWith(std::function<void(QFileDialog&)> inside) {
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr);
      inside(*d);
      if (d->isVisible()) d->reject();
    });
    window->doFunc("save");
  }
  // Picks type `type` (counted from 1) from the list, types `name` and
  // presses Save; `reply` answers the dialog's own question to replace a file.
  void save(int type, const QString& name, Button reply = QMessageBox::NoButton) {
    saveWith([&](QFileDialog& d) {
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
  // The information dialog's value column, top to bottom.
  QStringList info() {
    QStringList values;
    QTimer::singleShot(0, [&] {
      auto* f = qobject_cast<InfoFrm*>(QApplication::activeModalWidget());
      ASSERT_NE(f, nullptr);
      for (int i = 2; i <= 26; i += 2)
        values << f->findChild<QLabel*>(QString("Label%1").arg(i))->text();
      f->Command1->click();
    });
    window->doFunc("info");
    return values;
  }
};

TEST_F(SaveInfoTest, EachTypeWritesItsFormatUnderTheNameAsTypedReadBackByUsAndImageMagick) {
  const Picture photo = zelmar::test::makePhoto(64, 48),
                bilevel = zelmar::test::makePattern(64, 48, 1, true);
  const struct {
    int type;
    const char* name;
    bool oneBit;
    int16_t format;
    const char* compression;
  } rows[] = {
      {2, "b.bmp", false, 6, "None"}, {3, "p.pcx", false, 1, "RLE"},
      {4, "t.tif", false, 3, "LZW"},  {5, "j.jpg", false, 21, "JPEG"},
      {6, "g.tga", false, 4, "None"}, {7, "c.cmp", false, 5, "zstd"},
      {1, "a.jpg", false, 6, "None"},  // All Files: a bitmap, whatever the name says
      {5, "1.jpg", true, 10, "JPEG"},  // a 1-bit picture as grey JPEG
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    const Picture& source = r.oneBit ? bilevel : photo;
    show(source);
    const QString file = path(r.name);
    save(r.type, file);
    EXPECT_TRUE(messages.isEmpty());
    useList({file});
    ASSERT_EQ(window->ShowPicture(0), 0);
    const bool exact = r.format != 10 && r.format != 21;
    if (!r.oneBit) {
      EXPECT_LE(zelmar::test::meanChannelDiff(held(), source), exact ? 0 : 6);
    }
    const QString bits = r.oneBit ? " 8" : " 24";
    const QString size = QString(" %1").arg(fs::file_size(bytes(file)));
    // Pixels, plus a grey palette of 256 three-byte entries at 8 bits.
    const QString mem = QString(" %1").arg(r.oneBit ? 64 * 48 + 256 * 3 : 64 * 48 * 3);
    EXPECT_EQ(info(),
              (QStringList{bits, " 64", " 48", r.oneBit ? "是" : "否", file, bits, size, mem,
                           files::FormatName(r.format), r.compression, " 64", " 48", " 1"}));
    if (r.format == 5) continue;  // our own format
    const zelmar::test::TempDir out;
    const auto run =
        zelmar::test::run({ZELMAR_IM_CONVERT, bytes(file), "-auto-orient", out.file("im.ppm")});
    Picture seen;
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_TRUE(zelmar::test::readPnm(out.file("im.ppm"), seen));
    EXPECT_LE(zelmar::test::meanChannelDiff(seen, held()), exact ? 0 : 1);
  }
}

TEST_F(SaveInfoTest, TheDialogStartsOnBitmapAndTheShownFileCancelAndBadTargetsWriteNothing) {
  saveWith([&](QFileDialog& d) {
    EXPECT_EQ(d.windowTitle(), "保存图象对话框");
    EXPECT_EQ(d.nameFilters(),
              (QStringList{"All Files (*.*)", "Bitmap(*.BMP)", "ZSoft PCX(*.PCX)", "TIFF(*.TIF)",
                           "JPEG(*.JPG)", "TARGA(*.TGA)", "CMP(*.CMP)"}));
    EXPECT_EQ(d.selectedNameFilter(), "Bitmap(*.BMP)");
    EXPECT_EQ(d.selectedFiles(), QStringList{window->windowTitle()});
    // Picking a type leaves the typed name as it is.
    auto* types = d.findChild<QComboBox*>("fileTypeCombo");
    types->setCurrentIndex(0);
    emit types->activated(0);
    EXPECT_EQ(d.selectedFiles(), QStringList{window->windowTitle()});
  });
  fs::create_directory(bytes(path("folder")));
  const QString raw = path(filenames::nameFromBytes("raw\xFF.bmp"));
  const struct {
    QString name;
    int16_t chinese;
    QString message;  // empty: no message
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
    EXPECT_EQ(fs::is_regular_file(bytes(r.name)), r.message.isEmpty() && r.name != path("folder"))
        << r.name.toStdString();
  }
  // Replacing: Qt's dialog asks for names it can see, we ask for the others;
  // No keeps the file as it was.
  const auto formatOf = [](const QString& name) {
    zelmar::Decoded now;
    return zelmar::loadPicture(bytes(name), {}, now).ok() ? now.facts.fileFormat : -1;
  };
  for (const QString& name : {path("shown.bmp"), raw}) {
    for (Button reply : {QMessageBox::No, QMessageBox::Yes}) {
      messages.clear();
      answer = reply;
      save(3, name, name == raw ? QMessageBox::NoButton : reply);
      EXPECT_EQ(messages.size(), name == raw ? 1 : 0);
      EXPECT_EQ(formatOf(name), reply == QMessageBox::Yes ? 1 : 6);
    }
  }
}

TEST_F(SaveInfoTest, InformationCaptionsInBothLanguagesAFreshDialogAndNoStaleName) {
  const struct {
    int16_t chinese;
    QStringList captions;
  } languages[] = {
      {0,
       {"Information", "&Cancel", "Color Bits", "Width(Pixels)", "Heigth(Pixels)", "Gray",
        "Filename", "Origin Color", "File Size", "Mem Size", "File Format", "Compression",
        "Origin Width", "Origin Height", "MultiPage"}},
      {1,
       {"图象信息", "取消&C", "颜色比特数", "宽度", "高度", "灰度图象", "文件名", "原颜色",
        "文件大小", "内存大小", "文件格式", "压缩", "原宽度", "原高度", "多页"}},
  };
  for (const auto& l : languages) {
    ctx().setUseChinese(l.chinese);
    QStringList captions;
    QTimer::singleShot(0, [&] {
      auto* f = qobject_cast<InfoFrm*>(QApplication::activeModalWidget());
      ASSERT_NE(f, nullptr);
      captions << f->windowTitle() << f->Command1->text();
      for (int i = 1; i <= 25; i += 2)
        captions << f->findChild<QLabel*>(QString("Label%1").arg(i))->text();
      f->close();  // by its frame: the next showing is fresh all the same
    });
    window->doFunc("info");
    EXPECT_EQ(captions, l.captions);
    EXPECT_FALSE(window->infoWindow().loaded());
  }
  // A position outside the list (after a paste, say) shows no name, though
  // the slots past the count still hold one.
  ctx().fillPictureList({path("shown.bmp"), path("stale.bmp")});
  ctx().setPictureIndex(1);
  EXPECT_EQ(info().value(4), "");
  // Sizes past 2^31 bytes show as they are.
  Picture huge;
  ctx().Engine1()->setRepaintEnabled(false);
  ASSERT_TRUE(Picture::create(32768, 22000, 24, huge).ok());
  static_cast<ImageControl*>(ctx().Engine1())->adoptPicture(std::move(huge));
  EXPECT_EQ(info().value(7), " 2162688000");
  // No picture: no dialog.
  static_cast<ImageControl*>(ctx().Engine1())->adoptPicture(Picture());
  window->doFunc("info");
  EXPECT_FALSE(window->infoWindow().loaded());
}

TEST(FormatName, EveryCodeOfTheTableAndUnkonwnForOthers) {
  const std::pair<int16_t, const char*> names[] = {{5, "CMP"},
                                                   {10, "JPEG YUV 4:4:4"},
                                                   {23, "JPEG YUV 4:2:2"},
                                                   {21, "JPEG YUV 4:1:1"},
                                                   {11, "TIF JPEG 4:4:4"},
                                                   {24, "TIF JPEG 4:2:2"},
                                                   {22, "TIF JPEG 4:1:1"},
                                                   {30, "CMP NO LOSS"},
                                                   {3, "TIFF"},
                                                   {85, "TIFF CMYK"},
                                                   {93, "TIFF YCbCr"},
                                                   {87, ""},
                                                   {88, ""},
                                                   {95, "TIFF Format"},
                                                   {6, "Bitmap Format"},
                                                   {84, ""},
                                                   {14, ""},
                                                   {74, "Bitmap Format"},
                                                   {91, ""},
                                                   {92, "ICON or CUR format"},
                                                   {57, "Kodak PhotoCD"},
                                                   {80, ""},
                                                   {81, ""},
                                                   {82, ""},
                                                   {83, "FlashPix"},
                                                   {96, ""},
                                                   {97, ""},
                                                   {98, "Exif Format"},
                                                   {1, "PCX format"},
                                                   {4, "Targa format"},
                                                   {56, "MacPict"},
                                                   {200, "PNG"},
                                                   {201, "GIF"},
                                                   {202, "WebP"},
                                                   {203, "HEIF"},
                                                   {204, "AVIF"},
                                                   {2, "Unkonwn format"},
                                                   {0, "Unkonwn format"},
                                                   {-1, "Unkonwn format"},
                                                   {205, "Unkonwn format"}};
  for (const auto& [code, name] : names) EXPECT_EQ(files::FormatName(code), name) << code;
}

}  // namespace
