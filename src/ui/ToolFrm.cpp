#include "ui/ToolFrm.h"

#include <QAction>
#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "base/placement.h"
#include "base/viewer_context.h"

namespace {

struct ButtonEntry {
  const char* key;
  const char16_t* initialTip;
  const char16_t* chineseTip;  // null: the initial tip stays in both languages
  const char16_t* englishTip;
  bool twoState;
  bool startsPressed;
};

constexpr ButtonEntry kButtons[] = {
    {"open", u"打开", u"打开", u"Open", false, false},
    {"save", u"保存", u"另存为", u"Save", false, false},
    {"info", u"信息", u"信息", u"Info", false, false},
    {"print", u"打印", u"打印", u"Print", false, false},
    {"acquire", u"采集", u"采集", u"Acquire", false, false},
    {"fit", u"适合", u"满窗口", u"Fit", true, true},
    {"next", u"下一幅", u"下一幅", u"Next", false, false},
    {"prev", u"上一幅", u"上一幅", u"Prev", false, false},
    {"end", u"最后幅", u"最后幅", u"Last", false, false},
    {"first", u"第一幅", u"第一幅", u"First", false, false},
    {"func", u"处理", nullptr, nullptr, false, false},
    {"list", u"图像列表", nullptr, nullptr, true, false},  // pressed by the file list command only
    {"slide", u"播放", u"播放", u"Slide", true, false},
    {"exit", u"退出", u"退出", u"Exit", false, false},
};

constexpr int kColumns = 2;
constexpr int kRows = 7;

}  // namespace

// The icons live in a static library, whose resource object the linker
// would drop unless something refers to it.
static void loadToolIcons() { Q_INIT_RESOURCE(icons); }

ToolFrm::ToolFrm(ViewerContext& context, QWidget* owner,
                 std::function<void(const QString& key)> doFunc)
    : QMainWindow(owner, Qt::Tool), context_(context), doFunc_(std::move(doFunc)) {
  loadToolIcons();
  setObjectName(QStringLiteral("ToolFrm"));
  setWindowTitle(QStringLiteral("工具"));
  // The design's narrow palette: 705 x 2445 twips, two columns of seven.
  const QSize client(units::twipsToPixels(705), units::twipsToPixels(2445));
  setFixedSize(client);
  const QSize cell(client.width() / kColumns, client.height() / kRows);

  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(0, 0, 0, 0);
  setCentralWidget(central);
  Toolbar1 = new QToolBar(central);
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
  for (const ButtonEntry& entry : kButtons) {
    const QString key = QLatin1String(entry.key);
    auto* action = new QAction(QIcon(QStringLiteral(":/tool/%1.svg").arg(key)), QString(), this);
    action->setObjectName(key);
    action->setData(key);
    action->setCheckable(entry.twoState);
    action->setChecked(entry.startsPressed);
    connect(action, &QAction::triggered, this, [this, action] { clicked(action); });
    auto* tool = new QToolButton(grid);
    tool->setObjectName(QStringLiteral("button_%1").arg(key));
    tool->setDefaultAction(action);
    tool->setAutoRaise(true);
    tool->setIconSize(QSize(16, 16));
    tool->setFixedSize(cell);
    // Pictures only: the tip is what a screen reader announces.
    tool->setAccessibleName(QString::fromUtf16(entry.initialTip));
    action->setToolTip(tool->accessibleName());
    layout->addWidget(tool, int(buttons_.size()) / kColumns, int(buttons_.size()) % kColumns);
    buttons_.push_back(action);
    tools_.push_back(tool);
    pressedSources_.emplace_back();
  }
  Toolbar1->addWidget(grid);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->geometry().topLeft() + QPoint(int(std::lround(units::millimetresToPixels(15))),
                                               int(std::lround(units::millimetresToPixels(30)))));
  }
  setToolLang();
  connect(&context_, &ViewerContext::languageChanged, this, &ToolFrm::setToolLang);
}

QAction* ToolFrm::button(const QString& key) const {
  for (QAction* a : buttons_)
    if (a->data().toString() == key) return a;
  return nullptr;
}

void ToolFrm::setPressedSource(const QString& key, std::function<bool()> isOn) {
  for (size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i]->data().toString() == key && buttons_[i]->isCheckable())
      pressedSources_[i] = std::move(isOn);
  syncPressed();
}

void ToolFrm::syncPressed() {
  for (size_t i = 0; i < buttons_.size(); ++i)
    if (pressedSources_[i]) buttons_[i]->setChecked(pressedSources_[i]());
}

void ToolFrm::setToolLang() {
  const bool zh = context_.chinese();
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const ButtonEntry& entry = kButtons[i];
    if (!entry.chineseTip) continue;
    const QString tip = QString::fromUtf16(zh ? entry.chineseTip : entry.englishTip);
    buttons_[i]->setToolTip(tip);
    tools_[i]->setAccessibleName(tip);
  }
}

void ToolFrm::clicked(QAction* action) {
  if (doFunc_) doFunc_(action->data().toString());
  // A two-state button changes its look by itself when clicked; the mode
  // decides what it shows (the command may have refused to change it).
  syncPressed();
}

namespace ui {

void idm_ToolBar(ViewerContext& context, LazyWindow<ToolFrm>& tool) {
  QAction* check = context.action(Command::idm_ToolBar);
  if (!check->isChecked()) {
    check->setChecked(true);
    tool.get()->show();
  } else {
    check->setChecked(false);
    if (ToolFrm* t = tool.ifLoaded()) t->hide();
  }
}

}  // namespace ui
