#include "files/InfoFrm.h"

#include <QLabel>
#include <QPushButton>

#include "base/numtext.h"
#include "base/placement.h"
#include "base/viewer_context.h"
#include "engine/qt/file_names.h"
#include "files/form_layout.h"
#include "files/format_name.h"

namespace {

// The rows from the top: caption and value labels, the row's top in twips,
// the Chinese and the English caption.
const struct Row {
  QLabel* InfoFrm::*caption;
  QLabel* InfoFrm::*value;
  float top;
  const char16_t* chinese;
  const char16_t* english;
} kRows[] = {
    {&InfoFrm::Label1, &InfoFrm::Label2, 120, u"颜色比特数", u"Color Bits"},
    {&InfoFrm::Label3, &InfoFrm::Label4, 480, u"宽度", u"Width(Pixels)"},
    {&InfoFrm::Label5, &InfoFrm::Label6, 840, u"高度", u"Heigth(Pixels)"},  // spelt so
    {&InfoFrm::Label7, &InfoFrm::Label8, 1200, u"灰度图象", u"Gray"},
    {&InfoFrm::Label9, &InfoFrm::Label10, 1560, u"文件名", u"Filename"},
    {&InfoFrm::Label11, &InfoFrm::Label12, 2400, u"原颜色", u"Origin Color"},
    {&InfoFrm::Label13, &InfoFrm::Label14, 2760, u"文件大小", u"File Size"},
    {&InfoFrm::Label15, &InfoFrm::Label16, 3120, u"内存大小", u"Mem Size"},
    {&InfoFrm::Label17, &InfoFrm::Label18, 3480, u"文件格式", u"File Format"},
    {&InfoFrm::Label19, &InfoFrm::Label20, 3840, u"压缩", u"Compression"},
    {&InfoFrm::Label21, &InfoFrm::Label22, 4200, u"原宽度", u"Origin Width"},
    {&InfoFrm::Label23, &InfoFrm::Label24, 4560, u"原高度", u"Origin Height"},
    {&InfoFrm::Label25, &InfoFrm::Label26, 4920, u"多页", u"MultiPage"},
};

constexpr float kCaptionLeft = 240, kCaptionWidth = 1455, kValueLeft = 1800, kValueWidth = 2415;
constexpr float kRowHeight = 255, kNameHeight = 735;  // the file name wraps to three lines

using numtext::Str;
// Sizes in bytes can pass 2^31 (a 40000 x 20000 picture holds 2.4 GB).
QString Str(int64_t value) {
  return value >= 0 ? QStringLiteral(" ") + QString::number(value) : QString::number(value);
}

}  // namespace

InfoFrm::InfoFrm(ViewerContext& context, QWidget* owner) : QDialog(owner), context_(context) {
  setObjectName(QStringLiteral("InfoFrm"));
  setFixedSize(units::twipsToPixels(4335), units::twipsToPixels(6210));
  const bool zh = context_.chinese();
  int number = 1;
  for (const Row& r : kRows) {
    QLabel* caption = files::label(this, QStringLiteral("Label%1").arg(number++),
                                   QString::fromUtf16(zh ? r.chinese : r.english));
    QLabel* value = files::named<QLabel>(this, QStringLiteral("Label%1").arg(number++));
    this->*r.caption = caption;
    this->*r.value = value;
    files::place(caption, kCaptionLeft, r.top, kCaptionWidth, kRowHeight);
    const bool name = r.value == &InfoFrm::Label10;
    files::place(value, kValueLeft, r.top, kValueWidth, name ? kNameHeight : kRowHeight);
    value->setWordWrap(name);
    value->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    caption->setBuddy(value);  // a screen reader names each value by its caption
  }
  Command1 = files::named<QPushButton>(this, QStringLiteral("Command1"));
  Command1->setText(zh ? QStringLiteral("取消&C") : QStringLiteral("&Cancel"));
  files::place(Command1, 1560, 5280, 1215, 570);
  connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
  setWindowTitle(zh ? QStringLiteral("图象信息") : QStringLiteral("Information"));
  CenterForm(this);
}

void InfoFrm::fill() {
  const ImageEngine& e = *context_.Engine1();
  const int index = context_.PictureIndex();
  // After a paste or a scan the position may lie outside the list, whose
  // slots past the count hold stale names.
  const QString name = index >= 0 && index < context_.PictureCount()
                           ? filenames::displayName(context_.PictureList(index))
                           : QString();
  Label2->setText(Str(int32_t(e.BitsPerPixel())));
  Label4->setText(Str(e.ImageWidth()));
  Label6->setText(Str(e.ImageHeight()));
  Label10->setText(name);
  Label12->setText(Str(int32_t(e.OriginBits())));
  Label14->setText(Str(e.FileSize()));
  Label16->setText(Str(e.MemSize()));
  Label18->setText(files::FormatName(e.FileFormat()));
  Label20->setText(e.Compression());
  Label22->setText(Str(e.OriginWidth()));
  Label24->setText(Str(e.OriginHeight()));
  Label26->setText(Str(int32_t(e.PageCount())));
  Label8->setText(e.IsGray() != 0 ? QStringLiteral("是") : QStringLiteral("否"));
}

namespace files {

void idm_picinfo(ViewerContext& context, LazyWindow<InfoFrm>& window) {
  const ImageEngine* engine = context.Engine1();
  if (!engine || engine->BitsPerPixel() == 0) return;
  InfoFrm* frm = window.get();
  frm->fill();
  frm->exec();
  window.unload();  // every showing starts from a fresh dialog
}

}  // namespace files
