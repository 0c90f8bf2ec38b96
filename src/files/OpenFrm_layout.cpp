// The open dialog's controls, their places and their texts in both languages.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "base/placement.h"
#include "base/viewer_context.h"
#include "engine/qt/image_engine.h"
#include "files/OpenFrm.h"

namespace {

// Places at the design's twip positions; a zero width keeps the widget's own
// size, as a label that sizes itself does.
void place(QWidget* w, float left, float top, float width = 0, float height = 0) {
  if (width > 0) {
    w->setGeometry(units::twipsToPixels(left), units::twipsToPixels(top),
                   units::twipsToPixels(width), units::twipsToPixels(height));
  } else {
    w->adjustSize();
    w->move(units::twipsToPixels(left), units::twipsToPixels(top));
  }
}

template <typename T>
T* named(QWidget* parent, const char* name) {
  auto* w = new T(parent);
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

QLabel* label(QWidget* parent, const char* name, const QString& text) {
  auto* l = named<QLabel>(parent, name);
  l->setText(text);
  return l;
}

QPushButton* pictureButton(QWidget* parent, const char* name, const char* icon,
                           const QString& tip) {
  auto* b = named<QPushButton>(parent, name);
  b->setIcon(QIcon(QStringLiteral(":/open/") + QString::fromLatin1(icon) + QStringLiteral(".svg")));
  b->setToolTip(tip);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

// Resources of a static library load only when referred to.
static void loadOpenIcons() { Q_INIT_RESOURCE(open_icons); }

void OpenFrm::buildControls() {
  loadOpenIcons();
  // The title and these texts are Chinese in both languages.
  setWindowTitle(QStringLiteral("选择图像文件"));
  setFixedSize(units::twipsToPixels(8700), units::twipsToPixels(6500));

  Label2 = label(this, "Label2", QStringLiteral("目录列表："));
  Dir1 = named<FolderList>(this, "Dir1");
  Label5 = label(this, "Label5", QStringLiteral("文件列表："));
  File1 = named<FileList>(this, "File1");
  Command5 = pictureButton(this, "Command5", "add", QStringLiteral("增加"));
  Command6 = pictureButton(this, "Command6", "remove", QStringLiteral("剔除"));
  Command3 = pictureButton(this, "Command3", "add_all", QStringLiteral("全部添加"));
  Command4 = pictureButton(this, "Command4", "clear", QStringLiteral("全部清除"));
  Label4 = label(this, "Label4", QStringLiteral("所选文件列表："));
  List1 = named<QListWidget>(this, "List1");
  List1->setSelectionMode(QAbstractItemView::SingleSelection);
  Label1 = label(this, "Label1", QStringLiteral("驱动器："));
  Drive1 = named<DriveList>(this, "Drive1");
  Label3 = label(this, "Label3", QStringLiteral("文件类型："));
  FilePattern = named<QComboBox>(this, "FilePattern");
  FilePattern->setEditable(true);
  // Typed text filters nothing; only an entry chosen from the list does. Qt
  // would otherwise complete the text and choose the matching entry on
  // Enter or when the box loses focus.
  FilePattern->setInsertPolicy(QComboBox::NoInsert);
  FilePattern->setCompleter(nullptr);
  QObject::disconnect(FilePattern->lineEdit(), &QLineEdit::editingFinished, FilePattern, nullptr);
  QObject::disconnect(FilePattern->lineEdit(), &QLineEdit::returnPressed, FilePattern, nullptr);
  FilePattern->setEditText(QStringLiteral("*.*"));
  File1->setPattern(QStringLiteral("*.*"));
  Check1 = named<QCheckBox>(this, "Check1");
  Check1->setText(QStringLiteral("预览"));
  Check1->setChecked(true);
  Label6 = label(this, "Label6", QStringLiteral("待选文件个数："));
  Label6->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Label7 = label(this, "Label7", QStringLiteral("0"));
  Label8 = label(this, "Label8", QStringLiteral("已选文件个数："));
  Label8->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Label9 = label(this, "Label9", QStringLiteral("0"));
  Command1 = pictureButton(this, "Command1", "ok", QStringLiteral("确认选择"));
  Command1->setText(QStringLiteral("确认[&O]"));
  Command2 = pictureButton(this, "Command2", "cancel", QStringLiteral("取消退出"));
  Command2->setText(QStringLiteral("取消[&C]"));

  // The design's places in twips: left, top and, for sized controls, width
  // and height. The count headings are right-aligned up to their numbers.
  const struct {
    QWidget* widget;
    float left, top, width, height;
  } places[] = {
      {Label2, 240, 225, 0, 0},          {Dir1, 180, 540, 2235, 3015},
      {Label5, 2460, 225, 0, 0},         {File1, 2460, 540, 2475, 2955},
      {Command5, 5040, 960, 400, 375},   {Command6, 5040, 1440, 400, 375},
      {Command3, 5040, 1920, 400, 375},  {Command4, 5040, 2400, 400, 375},
      {Label4, 5520, 225, 0, 0},         {List1, 5520, 540, 3000, 2955},
      {Label1, 180, 3660, 0, 0},         {Drive1, 180, 3960, 1755, 315},
      {Label3, 2040, 3660, 0, 0},        {FilePattern, 2040, 3960, 2835, 315},
      {Check1, 4320, 3660, 1095, 255},   {Label6, 360, 4680, 2220, 255},
      {Label7, 2640, 4680, 960, 255},    {Label8, 360, 5160, 2220, 255},
      {Label9, 2640, 5160, 960, 255},    {Command1, 1200, 5640, 1035, 450},
      {Command2, 3240, 5640, 1035, 450},
  };
  for (const auto& p : places) place(p.widget, p.left, p.top, p.width, p.height);
}

void OpenFrm::layoutEngine() {
  if (Engine1) place(Engine1->widget(), 5520, 3600, 3000, 2700);
}

void OpenFrm::setCaptions() {
  const bool zh = context_.chinese();
  struct Caption {
    QWidget* widget;
    const char16_t* chinese;
    const char16_t* english;
  };
  const Caption captions[] = {
      {Label2, u"目录列表", u"Directories"},
      {Label5, u"文件列表", u"File List"},
      {Label4, u"已选文件", u"Selected Files"},
      {Label1, u"驱动器", u"Drive"},
      {Label3, u"文件类型", u"File Type"},
      {Check1, u"预览", u"Preview"},
      {Command1, u"确认&O", u"&OK"},
      {Command2, u"取消&C", u"&Cancel"},
  };
  for (const Caption& c : captions) {
    const QString text = QString::fromUtf16(zh ? c.chinese : c.english);
    if (auto* l = qobject_cast<QLabel*>(c.widget)) {
      l->setText(text);
      l->adjustSize();
    } else if (auto* b = qobject_cast<QAbstractButton*>(c.widget)) {
      b->setText(text);
    }
  }
}
