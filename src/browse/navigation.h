#pragma once
// Moving through the picture list, with wrap-around, and the titles the
// moves write into the file list window.
#include <QString>
#include <cstdint>

class picfrm;

namespace browse {

void idm_next(picfrm& w);
void idm_prev(picfrm& w);
void idm_first(picfrm& w);
void idm_end(picfrm& w);

// "图像文件列表 第3/12张" for index 2 of 12.
QString positionTitle(int index, int count);
// Writes the position title of picfrm's PictureIndex into the file list
// window (created hidden if needed).
void writePositionTitle(picfrm& w);
// Refills the file list window's rows after a new list was chosen.
void FillFileList(picfrm& w);

}  // namespace browse

namespace browse {
// Connects the four menu items, and the usual viewer keys to the same
// commands: Right/PageDown/Space next, Left/PageUp/Backspace previous,
// Home first, End last.
void wireNavigation(picfrm& w);
}  // namespace browse
