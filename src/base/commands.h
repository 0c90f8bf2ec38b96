#pragma once
// Every menu item of the main window by name. Commands are looked up by this
// enum, never by a string, so a misspelt name does not compile; the menu
// tree must hold exactly one item per name (checked when the actions are
// handed to the viewer context).
#include <QString>
#include <array>

// In menu order: the File menu, the Display menu (with Slide Delay), the
// Processing menu (with Convert). idm_sparator is spelt so in the design.
// clang-format off
#define ZELMAR_COMMANDS(X)                                                                        \
  X(idm_File) X(idm_open) X(idm_save) X(idm_picinfo) X(idm_print) X(idm_acquire) X(idm_copy)     \
  X(idm_paste) X(idm_FileList) X(idm_About) X(idm_sparator) X(idm_exit)                           \
  X(idm_display) X(idm_next) X(idm_prev) X(idm_first) X(idm_end) X(idm_fit) X(idm_zoomin)         \
  X(idm_zoomout) X(idm_origin) X(idm_effect) X(idm_slide) X(idm_autodelay) X(idm_Half500)         \
  X(idm_delay1) X(idm_delay2) X(idm_delay3) X(idm_delay4) X(idm_stop) X(idm_ToolBar) X(idm_lang) \
  X(idm_processing) X(idm_cinverse) X(idm_invert) X(idm_Flip) X(idm_resize) X(idm_rotate)        \
  X(idm_Emboss) X(idm_fringer) X(idm_enhanceb) X(idm_convert) X(idm_toRGB) X(idm_to8bit)          \
  X(idm_toGray) X(idm_to4Bit) X(idm_to1Bit) X(idm_halftone) X(idm_coloradjust)
// clang-format on

enum class Command {
#define ZELMAR_ENUM(name) name,
  ZELMAR_COMMANDS(ZELMAR_ENUM)
#undef ZELMAR_ENUM
};

#define ZELMAR_COUNT(name) +1
inline constexpr int kCommandCount = 0 ZELMAR_COMMANDS(ZELMAR_COUNT);
#undef ZELMAR_COUNT

class QAction;
// One action per command, indexed by the enum's value.
using CommandActions = std::array<QAction*, kCommandCount>;

// "idm_open" for Command::idm_open: the object name of its action.
QString commandName(Command c);
