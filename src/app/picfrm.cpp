#include "app/picfrm.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>
#include <exception>

#include "app/commands.h"
#include "app/prompt.h"
#include "app/units.h"
#include "browse/ListFrm.h"
#include "engine/qt/engine_factory.h"
#include "files/open_command.h"
#include "ui/tool_window.h"

picfrm::picfrm(const QString& commandLine) {
  setObjectName("picfrm");
  setWindowTitle(QStringLiteral("Zelmar"));
  menus_ = ui::buildMenuTree(menuBar());
  client_ = new QWidget(this);
  setCentralWidget(client_);
  Engine1 = createImageEngine(client_);
  if (Engine1) Engine1->widget()->setObjectName("Engine1");
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(2000);
  // Design client size 9330 x 6180 twips, below the menu bar.
  resize(int(units::twipsToPixels(9330)),
         int(units::twipsToPixels(6180)) + menuBar()->sizeHint().height());
  app::wireCommands(*this);
  load(commandLine);
}

picfrm::~picfrm() = default;

void picfrm::setCommand(const QString& name, std::function<void()> handler) {
  QAction* a = action(name);
  commands_.insert(name, std::move(handler));
  if (!a) return;
  connect(a, &QAction::triggered, this, [this, a, name](bool checked) {
    // A click toggles a check mark by itself; the command owns that state.
    if (a->isCheckable()) {
      const QSignalBlocker block(a);
      a->setChecked(!checked);
    }
    runCommand(name);
  });
}

void picfrm::runCommand(const QString& name) {
  const auto it = commands_.constFind(name);
  if (it == commands_.constEnd() || !*it) return;
  // No engine failure may end the program: a command that meets one stops there.
  try {
    (*it)();
  } catch (const std::exception&) {
  }
}

ListFrm* picfrm::listForm() {
  if (!listForm_) listForm_ = new ListFrm(this);
  return listForm_;
}

void picfrm::unloadListForm() { delete listForm_.data(); }

void picfrm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  LayoutPicture();
}

void picfrm::closeEvent(QCloseEvent* event) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("提示用户"),
                  QStringLiteral("确认是否退出图像浏览软件 ？"),
                  QMessageBox::Yes | QMessageBox::No, this);
  box.setObjectName("exitQuestion");
  if (prompt::exec(box) != QMessageBox::Yes) {
    event->ignore();
    return;
  }
  event->accept();
  unloadForms();
  QCoreApplication::quit();
}

void picfrm::unloadForms() {
  // The dialogs of the processing, information and print commands are
  // unloaded by their own windows' owners; ours go in this order.
  unloadListForm();
  files::unloadOpenWindow(*this);
  ui::unloadToolWindow(*this);
}
