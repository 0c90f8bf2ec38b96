#pragma once
// Window positions are kept in twips (1/1440 inch) and distances in
// millimetres; these convert them at the primary screen's logical DPI.
class QScreen;

namespace units {

// Logical dots per inch of the primary screen (96 when there is none).
double screenDpi();

float twipsToPixels(float twips);
float pixelsToTwips(float pixels);
float millimetresToPixels(float mm);

}  // namespace units
