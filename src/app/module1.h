#pragma once
// State shared by every window for the whole run, and the shared helpers.
#include <QString>
#include <array>
#include <cstdint>

class QWidget;

namespace Module1 {

inline constexpr int kListSlots = 1001;  // slots 0..1000; at most 1000 are filled

// Full paths of the pictures in list order.
extern std::array<QString, kListSlots> PictureList;
// Number of valid entries of PictureList.
extern int16_t PictureCount;
// Nonzero selects the Chinese texts.
extern int16_t UseChinese;
// The folder of the picture list, remembered in the settings file.
extern QString StartFolder;
// The program's own folder, the fallback start folder.
extern QString AppFolder;

// Centres `frm` (its outer frame) on the primary screen's full geometry,
// computed in twips as single-precision values; may place it off-screen
// when it is larger than the screen.
void CenterForm(QWidget* frm);

}  // namespace Module1
