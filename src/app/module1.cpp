#include "app/module1.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

#include "app/units.h"

namespace Module1 {

std::array<QString, kListSlots> PictureList;
int16_t PictureCount = 0;
int16_t UseChinese = 0;
QString StartFolder;
QString AppFolder;

void CenterForm(QWidget* frm) {
  if (!frm) return;
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect full = screen->geometry();
  const QRect outer = frm->frameGeometry();
  const float screenW = units::pixelsToTwips(float(full.width()));
  const float screenH = units::pixelsToTwips(float(full.height()));
  const float left = screenW / 2 - units::pixelsToTwips(float(outer.width())) / 2;
  const float top = screenH / 2 - units::pixelsToTwips(float(outer.height())) / 2;
  // Widgets sit on whole pixels: the twips are converted back only here.
  frm->move(full.x() + int(std::lround(units::twipsToPixels(left))),
            full.y() + int(std::lround(units::twipsToPixels(top))));
}

}  // namespace Module1
