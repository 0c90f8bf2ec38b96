#pragma once
// The readable name of an engine format code, as the information dialog shows it.
#include <QString>
#include <cstdint>

namespace files {

// Empty for the codes whose name is left blank; "Unkonwn format" (spelt
// so) for a code the table does not hold.
QString FormatName(int16_t code);

}  // namespace files
