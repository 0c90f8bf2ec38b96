#include "base/commands.h"

namespace {
constexpr const char* kNames[] = {
#define ZELMAR_NAME(name) #name,
    ZELMAR_COMMANDS(ZELMAR_NAME)
#undef ZELMAR_NAME
};
static_assert(std::size(kNames) == size_t(kCommandCount));
}  // namespace

QString commandName(Command c) { return QString::fromLatin1(kNames[int(c)]); }
