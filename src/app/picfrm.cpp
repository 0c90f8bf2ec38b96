#include "app/picfrm.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>
#include <cmath>
#include <exception>
#include <initializer_list>

#include "app/commands.h"
#include "base/placement.h"
#include "ui/menu_tree.h"

picfrm::picfrm(const QString& commandLine, ImageEngineFactory factory)
    : context_(std::move(factory)),
      tool_([this] { return makeToolFrm(); }),
      list_(context_, this),
      open_(context_, this) {
  setObjectName(QStringLiteral("picfrm"));
  setWindowTitle(QStringLiteral("Zelmar"));
  context_.setActions(ui::buildMenuTree(menuBar()));
  client_ = new QWidget(this);
  setCentralWidget(client_);
  // The client area's own size changes, after the menu bar has taken its share.
  client_->installEventFilter(this);
  Engine1 = context_.makeEngine(client_);
  if (Engine1) Engine1->widget()->setObjectName(QStringLiteral("Engine1"));
  context_.setEngine1(Engine1);
  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(2000);
  slides_ = std::make_unique<browse::SlideShow>(context_, *Timer1, list_);
  // Design client size 9330 x 6180 twips, below the menu bar.
  resize(units::twipsToPixels(9330), units::twipsToPixels(6180) + menuBar()->sizeHint().height());
  app::wireCommands(*this);
  load(commandLine);
}

picfrm::~picfrm() {
  // The windows go before the context they work on.
  for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) delete w;
}

ToolFrm* picfrm::makeToolFrm() {
  auto* t = new ToolFrm(context_, this, [this](const QString& key) { doFunc(key); });
  t->setPressedSource(QStringLiteral("fit"),
                      [this] { return action(Command::idm_fit)->isChecked(); });
  t->setPressedSource(QStringLiteral("list"),
                      [this] { return action(Command::idm_FileList)->isChecked(); });
  t->setPressedSource(QStringLiteral("slide"), [this] { return slides_->running(); });
  // A key whose command does not exist yet is greyed, as its menu item is.
  for (QAction* b : t->buttons()) {
    const auto c = app::commandOfKey(b->data().toString());
    if (c && !hasCommand(*c)) b->setEnabled(false);
  }
  return t;
}

bool picfrm::hasCommand(Command c) const { return app::handlerOf(c) != nullptr; }

void picfrm::runCommand(Command c) {
  const app::Handler run = app::handlerOf(c);
  if (!run) return;
  // No engine failure may end the program: a command that meets one stops there.
  try {
    run(*this);
  } catch (const std::exception&) {
  }
}

bool picfrm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_ && event->type() == QEvent::Resize) LayoutPicture();
  return QMainWindow::eventFilter(watched, event);
}

void picfrm::LayoutPicture() {
  if (!Engine1) return;
  const float m = units::millimetresToPixels(1);
  const float w = float(client_->width()) - m - m;
  const float h = float(client_->height()) - m - m;
  const int margin = int(std::lround(m));
  Engine1->widget()->setGeometry(margin, margin, int(std::lround(SingleMax(w, m))),
                                 int(std::lround(SingleMax(h, m))));
}

void picfrm::closeEvent(QCloseEvent* event) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("提示用户"),
                  QStringLiteral("确认是否退出图像浏览软件 ？"), QMessageBox::Yes | QMessageBox::No,
                  this);
  box.setObjectName(QStringLiteral("exitQuestion"));
  if (context_.prompt().exec(box) != QMessageBox::Yes) {
    event->ignore();
    return;
  }
  event->accept();
  // AdjFrm, DegFrm and InfoFrm go first, PrnFrm after OpenFrm, once they exist.
  for (LazyWindowBase* w : std::initializer_list<LazyWindowBase*>{&list_, &open_, &tool_})
    w->unload();
  QCoreApplication::quit();
}
