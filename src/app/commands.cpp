#include "app/commands.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <initializer_list>

#include "app/picfrm.h"
#include "app/settings.h"
#include "base/picture_display.h"
#include "browse/navigation.h"
#include "ui/language.h"
#include "ui/menu_tree.h"
#include "view/view_commands.h"

namespace app {
namespace {

using C = Command;

struct CommandEntry {
  Command command;
  Handler run;
};

// The commands that exist. Save As, information, printing, acquisition, the
// clipboard and every Processing item are not built yet: without a row here
// their items are greyed. Enabling one is adding its row.
constexpr CommandEntry kCommands[] = {
    {C::idm_open, [](picfrm& w) { w.openDialog().idm_open(); }},
    {C::idm_FileList, [](picfrm& w) { w.listWindow().idm_FileList(); }},
    {C::idm_About, [](picfrm& w) { ui::idm_About(w.context(), &w); }},
    {C::idm_exit, idm_exit},
    {C::idm_next, [](picfrm& w) { browse::idm_next(w.context(), w.listWindow()); }},
    {C::idm_prev, [](picfrm& w) { browse::idm_prev(w.context(), w.listWindow()); }},
    {C::idm_first, [](picfrm& w) { browse::idm_first(w.context(), w.listWindow()); }},
    {C::idm_end, [](picfrm& w) { browse::idm_end(w.context(), w.listWindow()); }},
    {C::idm_fit, [](picfrm& w) { view::idm_fit(w.context()); }},
    {C::idm_zoomin, [](picfrm& w) { view::idm_zoomin(w.context()); }},
    {C::idm_zoomout, [](picfrm& w) { view::idm_zoomout(w.context()); }},
    {C::idm_origin, [](picfrm& w) { view::idm_origin(w.context()); }},
    {C::idm_effect, [](picfrm& w) { view::idm_effect(w.context()); }},
    {C::idm_slide, [](picfrm& w) { w.slideShow().idm_slide(); }},
    {C::idm_stop, [](picfrm& w) { w.slideShow().idm_stop(); }},
    {C::idm_Half500, [](picfrm& w) { w.slideShow().setDelay(500); }},
    {C::idm_delay1, [](picfrm& w) { w.slideShow().setDelay(1000); }},
    {C::idm_delay2, [](picfrm& w) { w.slideShow().setDelay(2000); }},
    {C::idm_delay3, [](picfrm& w) { w.slideShow().setDelay(3000); }},
    {C::idm_delay4, [](picfrm& w) { w.slideShow().setDelay(4000); }},
    {C::idm_ToolBar, [](picfrm& w) { ui::idm_ToolBar(w.context(), w.toolWindow()); }},
    {C::idm_lang, [](picfrm& w) { ui::idm_lang(w.context()); }},
};

// The tool bar's keys and the menu items they click.
const struct {
  const char* key;
  Command command;
} kKeys[] = {
    {"open", C::idm_open},   {"save", C::idm_save},       {"info", C::idm_picinfo},
    {"print", C::idm_print}, {"acquire", C::idm_acquire}, {"fit", C::idm_fit},
    {"next", C::idm_next},   {"prev", C::idm_prev},       {"end", C::idm_end},
    {"first", C::idm_first}, {"effect", C::idm_effect},   {"list", C::idm_FileList},
    {"exit", C::idm_exit},
};

// The usual viewer keys, beside the menus' own shortcuts; they work with
// the menu bar hidden.
const struct {
  Command command;
  std::initializer_list<Qt::Key> keys;
} kViewerKeys[] = {
    {C::idm_next, {Qt::Key_Right, Qt::Key_PageDown, Qt::Key_Space}},
    {C::idm_prev, {Qt::Key_Left, Qt::Key_PageUp, Qt::Key_Backspace}},
    {C::idm_first, {Qt::Key_Home}},
    {C::idm_end, {Qt::Key_End}},
};

}  // namespace

Handler handlerOf(Command c) {
  for (const CommandEntry& e : kCommands)
    if (e.command == c) return e.run;
  return nullptr;
}

std::optional<Command> commandOfKey(const QString& key) {
  for (const auto& k : kKeys)
    if (key.toLower() == QLatin1String(k.key)) return k.command;
  return std::nullopt;
}

void idm_exit(picfrm& w) {
  WriteSettings(w.context());
  w.close();
}

void wireCommands(picfrm& w) {
  ViewerContext& context = w.context();
  for (int i = 0; i < kCommandCount; ++i) {
    const Command c = Command(i);
    QAction* a = w.action(c);
    if (a->menu<QMenu*>() || a->isSeparator()) continue;
    if (!handlerOf(c)) {
      a->setEnabled(false);
      continue;
    }
    QObject::connect(a, &QAction::triggered, &w, [&w, a, c](bool checked) {
      // A click toggles a check mark by itself; the command owns that state.
      if (a->isCheckable()) {
        const QSignalBlocker block(a);
        a->setChecked(!checked);
      }
      w.runCommand(c);
    });
  }
  for (const auto& k : kViewerKeys) {
    auto* keys = new QAction(&w);
    keys->setObjectName(QStringLiteral("keys_") + commandName(k.command).mid(4));
    QList<QKeySequence> sequences;
    for (Qt::Key key : k.keys) sequences << QKeySequence(key);
    keys->setShortcuts(sequences);
    keys->setShortcutContext(Qt::WindowShortcut);
    const Command c = k.command;
    QObject::connect(keys, &QAction::triggered, &w, [&w, c] { w.runCommand(c); });
    w.addAction(keys);
  }
  QObject::connect(w.action(C::idm_display)->menu<QMenu*>(), &QMenu::aboutToShow, &w,
                   [&w] { w.slideShow().refreshDelayChecks(); });
  // The tool bar's mode buttons follow the modes.
  const auto syncTool = [&w] {
    if (ToolFrm* t = w.toolWindow().ifLoaded()) t->syncPressed();
  };
  QObject::connect(w.action(C::idm_fit), &QAction::toggled, &w, syncTool);
  QObject::connect(w.action(C::idm_FileList), &QAction::toggled, &w, syncTool);
  QObject::connect(&w.slideShow(), &browse::SlideShow::runningChanged, &w, syncTool);
  QObject::connect(&context, &ViewerContext::languageChanged, &w,
                   [&w, &context] { ui::setMenuLang(w.context().actions(), context.chinese()); });
  QObject::connect(&context.display(), &PictureDisplay::shown, &w, &QWidget::setWindowTitle);
}

}  // namespace app
