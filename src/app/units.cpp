#include "app/units.h"

#include <QGuiApplication>
#include <QScreen>

namespace units {

double screenDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->logicalDotsPerInchX() : 96.0;
}

float twipsToPixels(float twips) { return float(twips * screenDpi() / 1440.0); }
float pixelsToTwips(float pixels) { return float(pixels * 1440.0 / screenDpi()); }
float millimetresToPixels(float mm) { return float(mm * screenDpi() / 25.4); }

}  // namespace units
