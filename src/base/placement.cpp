#include "base/placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace units {
namespace {
double screenDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->logicalDotsPerInchX() : 96.0;
}
}  // namespace

int twipsToPixels(float twips) { return int(std::lround(twips * screenDpi() / 1440.0)); }
float pixelsToTwips(float pixels) { return float(pixels * 1440.0 / screenDpi()); }
float millimetresToPixels(float mm) { return float(mm * screenDpi() / 25.4); }

}  // namespace units

namespace {

bool framed(const QWidget* w) { return w->frameGeometry().size() != w->size(); }

// Places the window again the first time it has a frame, then goes.
class FrameWatcher : public QObject {
 public:
  FrameWatcher(QWidget* w, std::function<QPoint(const QSize&)> where)
      : QObject(w), window_(w), where_(std::move(where)) {
    setObjectName(QStringLiteral("FrameWatcher"));
    w->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* e) override {
    const auto t = e->type();
    if ((t == QEvent::Show || t == QEvent::Move || t == QEvent::Resize) && framed(window_)) {
      window_->removeEventFilter(this);
      window_->move(where_(window_->frameGeometry().size()));
      deleteLater();
    }
    return false;
  }

 private:
  QWidget* window_;
  std::function<QPoint(const QSize&)> where_;
};

}  // namespace

void placeByFrame(QWidget* w, std::function<QPoint(const QSize& outer)> where) {
  if (!w) return;
  delete w->findChild<FrameWatcher*>(QStringLiteral("FrameWatcher"), Qt::FindDirectChildrenOnly);
  w->move(where(w->frameGeometry().size()));
  if (!framed(w)) new FrameWatcher(w, std::move(where));
}

void CenterForm(QWidget* frm) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect full = screen->geometry();
  placeByFrame(frm, [full](const QSize& outer) {
    const float left = units::pixelsToTwips(float(full.width())) / 2 -
                       units::pixelsToTwips(float(outer.width())) / 2;
    const float top = units::pixelsToTwips(float(full.height())) / 2 -
                      units::pixelsToTwips(float(outer.height())) / 2;
    return full.topLeft() + QPoint(units::twipsToPixels(left), units::twipsToPixels(top));
  });
}
