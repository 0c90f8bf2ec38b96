#include "ui/ToolFrm.h"

#include <QAction>
#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "app/module1.h"
#include "app/units.h"

namespace {

enum class Kind { Plain, TwoState, PressedByCode };

struct ButtonEntry {
  const char* key;
  const char16_t* initialTip;
  const char16_t* chineseTip;  // null: the initial tip stays in both languages
  const char16_t* englishTip;
  Kind kind;
};

constexpr ButtonEntry kButtons[] = {
    {"open", u"打开", u"打开", u"Open", Kind::Plain},
    {"save", u"保存", u"另存为", u"Save", Kind::Plain},
    {"info", u"信息", u"信息", u"Info", Kind::Plain},
    {"print", u"打印", u"打印", u"Print", Kind::Plain},
    {"acquire", u"采集", u"采集", u"Acquire", Kind::Plain},
    {"fit", u"适合", u"满窗口", u"Fit", Kind::TwoState},
    {"next", u"下一幅", u"下一幅", u"Next", Kind::Plain},
    {"prev", u"上一幅", u"上一幅", u"Prev", Kind::Plain},
    {"end", u"最后幅", u"最后幅", u"Last", Kind::Plain},
    {"first", u"第一幅", u"第一幅", u"First", Kind::Plain},
    {"func", u"处理", nullptr, nullptr, Kind::Plain},
    {"list", u"图像列表", nullptr, nullptr, Kind::PressedByCode},
    {"slide", u"播放", u"播放", u"Slide", Kind::TwoState},
    {"exit", u"退出", u"退出", u"Exit", Kind::Plain},
};

constexpr int kColumns = 2;
constexpr int kRows = 7;
constexpr char kKindProperty[] = "zelmarButtonKind";

int px(float twips) { return int(std::lround(units::twipsToPixels(twips))); }

}  // namespace

// The icons live in a static library, whose resource object the linker
// would drop unless something refers to it.
static void loadToolIcons() { Q_INIT_RESOURCE(icons); }

ToolFrm::ToolFrm(QWidget* owner, std::function<void(const QString& key)> doFunc)
    : QWidget(owner, Qt::Tool), doFunc_(std::move(doFunc)) {
  loadToolIcons();
  setObjectName(QStringLiteral("ToolFrm"));
  setWindowTitle(QStringLiteral("工具"));
  // The design's narrow palette: 705 x 2445 twips, two columns of seven.
  const QSize client(px(705), px(2445));
  setFixedSize(client);
  const QSize cell(client.width() / kColumns, client.height() / kRows);

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  Toolbar1 = new QToolBar(this);
  Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
  Toolbar1->setMovable(false);
  Toolbar1->setFloatable(false);
  Toolbar1->setOrientation(Qt::Vertical);
  Toolbar1->setContentsMargins(0, 0, 0, 0);
  Toolbar1->layout()->setContentsMargins(0, 0, 0, 0);
  Toolbar1->layout()->setSpacing(0);
  outer->addWidget(Toolbar1);

  // A tool bar lays its buttons out in one line; the grid inside it wraps
  // them into the two columns of the palette.
  auto* grid = new QWidget(Toolbar1);
  auto* layout = new QGridLayout(grid);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  int index = 0;
  for (const ButtonEntry& entry : kButtons) {
    auto* action = new QAction(QIcon(QStringLiteral(":/tool/%1.svg").arg(QLatin1String(entry.key))),
                               QString(), this);
    action->setObjectName(QLatin1String(entry.key));
    action->setData(QLatin1String(entry.key));
    action->setToolTip(QString::fromUtf16(entry.initialTip));
    action->setCheckable(entry.kind != Kind::Plain);
    action->setProperty(kKindProperty, int(entry.kind));
    connect(action, &QAction::triggered, this, [this, action] { clicked(action); });
    buttons_.push_back(action);

    auto* tool = new QToolButton(grid);
    tool->setObjectName(QStringLiteral("button_%1").arg(QLatin1String(entry.key)));
    tool->setDefaultAction(action);
    tool->setAutoRaise(true);
    tool->setIconSize(QSize(16, 16));
    tool->setFixedSize(cell);
    layout->addWidget(tool, index / kColumns, index % kColumns);
    ++index;
  }
  Toolbar1->addWidget(grid);
  setButtonPressed(QStringLiteral("fit"), true);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QPoint origin = screen->geometry().topLeft();
    move(origin.x() + int(std::lround(units::millimetresToPixels(15))),
         origin.y() + int(std::lround(units::millimetresToPixels(30))));
  }
  setToolLang();
}

QAction* ToolFrm::button(const QString& key) const {
  for (QAction* a : buttons_)
    if (a->data().toString() == key) return a;
  return nullptr;
}

void ToolFrm::setButtonPressed(const QString& key, bool pressed) {
  if (QAction* a = button(key); a && a->isCheckable()) a->setChecked(pressed);
}

void ToolFrm::setToolLang() {
  const bool zh = Module1::UseChinese != 0;
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const ButtonEntry& entry = kButtons[i];
    if (entry.chineseTip) buttons_[i]->setToolTip(QString::fromUtf16(zh ? entry.chineseTip : entry.englishTip));
  }
}

void ToolFrm::clicked(QAction* action) {
  // A plain button that code presses does not change its look when clicked;
  // the command it runs sets the state.
  if (Kind(action->property(kKindProperty).toInt()) == Kind::PressedByCode) {
    const QSignalBlocker quiet(action);
    action->setChecked(!action->isChecked());
  }
  if (doFunc_) doFunc_(action->data().toString());
}
