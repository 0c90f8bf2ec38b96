#pragma once
// The processing frame: how every command that changes the picture on the
// main window runs its engine operation. Other folders' commands (resize)
// use it too; keep this interface stable.
//
//   process::runInFrame(*context.Engine1(), [&](ImageEngine& e) {
//     return e.ResizeImage(width, height, engine_codes::kResizeResample);
//   });
#include <functional>

class ImageEngine;

namespace process {

// One engine call, or a short sequence, on the engine it is handed; returns
// the call's status. A nonzero status and a thrown exception both count as
// a failure.
using Operation = std::function<int(ImageEngine& engine)>;

// Runs `operation` in this order:
//  1. the busy cursor;
//  2. RepaintEnabled read and remembered, then set false;
//  3. from here on every engine failure is absorbed: recorded, never thrown
//     on, and the remaining steps still run;
//  4. the operation;
//  5. success: one Repaint, the default cursor, RepaintEnabled as remembered;
//     failure: the default cursor, RepaintEnabled as remembered; no repaint,
//     no message, the picture as the engine left it.
// Returns whether the operation succeeded; the commands need not look.
bool runInFrame(ImageEngine& engine, const Operation& operation);

}  // namespace process
