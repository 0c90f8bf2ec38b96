#include "process/frame.h"

#include "base/absorb.h"

namespace process {

bool runInFrame(ImageEngine& engine, const Operation& operation) {
  BusyCursor busy;
  const bool remembered = engine.RepaintEnabled();
  engine.setRepaintEnabled(false);
  ErrorAbsorber absorb;
  absorb.run([&] { return operation(engine); });
  const bool succeeded = !absorb.failed();
  // One explicit paint while automatic repaint is still off.
  if (succeeded) absorb.run([&] { engine.Repaint(); });
  busy.restore();
  absorb.run([&] { engine.setRepaintEnabled(remembered); });
  return succeeded;
}

}  // namespace process
