#include "files/form_layout.h"

#include "base/placement.h"

namespace files {

void place(QWidget* w, float left, float top, float width, float height) {
  if (width > 0) {
    w->setGeometry(units::twipsToPixels(left), units::twipsToPixels(top),
                   units::twipsToPixels(width), units::twipsToPixels(height));
  } else {
    w->adjustSize();
    w->move(units::twipsToPixels(left), units::twipsToPixels(top));
  }
}

QLabel* label(QWidget* parent, const QString& name, const QString& text) {
  auto* l = named<QLabel>(parent, name);
  l->setText(text);
  return l;
}

}  // namespace files
