#pragma once
// Building a form from its design: controls named as the design names them,
// placed at its positions in twips.
#include <QLabel>
#include <QString>
#include <QWidget>

namespace files {

// A zero width keeps the widget's own size, as a label that sizes itself does.
void place(QWidget* w, float left, float top, float width = 0, float height = 0);

template <typename T>
T* named(QWidget* parent, const QString& name) {
  auto* w = new T(parent);
  w->setObjectName(name);
  return w;
}

QLabel* label(QWidget* parent, const QString& name, const QString& text);

}  // namespace files
