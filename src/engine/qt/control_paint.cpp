// Painting the control: one composed frame per Repaint (or per batch of
// changes while RepaintEnabled is true), shown as it is on every expose.
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "engine/qt/control_codes.h"
#include "engine/qt/image_control.h"
#include "engine/qt/transition.h"

using zelmar::qt::Layout;
using zelmar::qt::LayoutInput;

namespace {
// Fills the frame outside `covered` with the background: the view is
// drawn over the rest, so that part need not be written twice.
void fillAround(QImage& frame, const QRect& covered, const QColor& color) {
  if (frame.isNull()) return;
  if (covered.isEmpty()) return frame.fill(color);
  QImage one(1, 1, frame.format());
  one.fill(color);  // the pixel a whole-frame fill would write
  const QRgb pixel = *reinterpret_cast<const QRgb*>(one.constScanLine(0));
  const auto span = [&](int y, int x0, int x1) {
    if (x1 > x0)
      std::fill(reinterpret_cast<QRgb*>(frame.scanLine(y)) + x0,
                reinterpret_cast<QRgb*>(frame.scanLine(y)) + x1, pixel);
  };
  for (int y = 0; y < frame.height(); ++y) {
    if (y < covered.top() || y > covered.bottom()) {
      span(y, 0, frame.width());
    } else {
      span(y, 0, covered.left());
      span(y, covered.right() + 1, frame.width());
    }
  }
}

QSize deviceSize(const QWidget* w) {
  const qreal dpr = w->devicePixelRatioF();
  return {qRound(w->width() * dpr), qRound(w->height() * dpr)};
}
}  // namespace

LayoutInput ImageControl::layoutInput() const {
  const qreal dpr = devicePixelRatioF();
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  LayoutInput in;
  in.area = deviceSize(this);
  in.mode = zelmar::qt::codes::displayMode(mode_);
  in.zoomPercent = zoom_;
  in.scrollBars = QSize(qRound(bar * dpr), qRound(bar * dpr));
  return in;
}

Layout ImageControl::layout() const {
  LayoutInput in = layoutInput();
  in.picture = QSize(int(picture().width()), int(picture().height()));
  return computeLayout(in);
}

QPoint ImageControl::scrollPosition() const { return {hBar_->value(), vBar_->value()}; }

void ImageControl::updateScrollBars(const Layout& l) {
  const qreal dpr = devicePixelRatioF();
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const QSize view(qRound(l.viewport.width() / dpr), qRound(l.viewport.height() / dpr));
  const QPoint max = l.maxScroll();
  // Range changes must not count as a scroll: the frame is being composed.
  const QSignalBlocker hb(hBar_), vb(vBar_);
  hBar_->setRange(0, max.x());
  hBar_->setPageStep(l.viewport.width());
  hBar_->setSingleStep(qMax(1, l.viewport.width() / 20));
  hBar_->setGeometry(0, height() - bar, view.width(), bar);
  hBar_->setVisible(l.hBar);
  vBar_->setRange(0, max.y());
  vBar_->setPageStep(l.viewport.height());
  vBar_->setSingleStep(qMax(1, l.viewport.height() / 20));
  vBar_->setGeometry(width() - bar, 0, bar, view.height());
  vBar_->setVisible(l.vBar);
}

QImage ImageControl::composeFrame() {
  const Layout l = layout();
  updateScrollBars(l);
  QImage frame(deviceSize(this), QImage::Format_RGB32);
  QRect covered;
  if (!picture().empty() && !frame.isNull()) {
    const QRect visible = l.visible(scrollPosition());
    const QImage& view =
        cache_.get(picture(), generation_, l.scale, visible, brightness_, contrast_);
    if (!view.isNull()) {
      QPainter p(&frame);
      p.drawImage(l.offset, view);
      covered = QRect(l.offset, view.size()) & frame.rect();
    }
  }
  fillAround(frame, covered, backColor_);
  frame.setDevicePixelRatio(devicePixelRatioF());
  return frame;
}

bool ImageControl::transitionRunning() const { return transition_->running(); }

void ImageControl::present() {
  pending_ = stale_ = false;
  QImage from = transition_->running() ? transition_->current() : frame_;
  frame_ = composeFrame();
  ++paintCount_;
  const zelmar::qt::Effect effect = zelmar::qt::codes::effect(effect_);
  if (effect != zelmar::qt::Effect::None && isVisible() && !from.isNull()) {
    // Erasing first makes the new picture come in over the background
    // rather than over the old picture.
    if (eraseBackground_) from.fill(backColor_);
    transition_->start(from, frame_, effect, delay_, grain_);
  } else {
    transition_->finish();
  }
  emit painted();
}

void ImageControl::Repaint() {
  present();
  repaint();
}

void ImageControl::paintEvent(QPaintEvent*) {
  if (pending_) present();
  QPainter p(this);
  const QImage& shown = transition_->running() ? transition_->current() : frame_;
  if (shown.size() != deviceSize(this)) p.fillRect(rect(), backColor_);
  if (!shown.isNull()) p.drawImage(QPointF(0, 0), shown);
}

void ImageControl::resizeEvent(QResizeEvent*) { changed(); }

void ImageControl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !(hBar_->isVisible() || vBar_->isVisible()))
    return QWidget::mousePressEvent(event);
  dragFrom_ = event->position().toPoint();
  dragScroll_ = scrollPosition();
  setCursor(Qt::ClosedHandCursor);
}

void ImageControl::mouseMoveEvent(QMouseEvent* event) {
  if (!dragFrom_) return QWidget::mouseMoveEvent(event);
  const QPointF moved = (event->position() - QPointF(*dragFrom_)) * devicePixelRatioF();
  // Dragging moves the picture with the pointer, so the view goes the other way.
  hBar_->setValue(dragScroll_.x() - qRound(moved.x()));
  vBar_->setValue(dragScroll_.y() - qRound(moved.y()));
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragFrom_) return QWidget::mouseReleaseEvent(event);
  dragFrom_.reset();
  unsetCursor();
}
