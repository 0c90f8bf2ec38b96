#pragma once
// The Rotate command and the lifetime of its angle dialog: loaded on first
// use, kept hidden after Cancel (with the text the user left), unloaded
// after a confirmed rotation (so "9000" is offered again) and after a close
// by the title bar.
#include "base/lazy_window.h"
#include "process/DegFrm.h"

class ViewerContext;

namespace process {

class RotateCommand : public LazyWindow<DegFrm> {
 public:
  explicit RotateCommand(ViewerContext& context);
  ~RotateCommand() override;

  // Asks for the angle, then turns the picture by it in the processing frame.
  void idm_rotate();

  // The dialog has no owner window to destroy it, so unloading does at once.
  void unload() override;

 private:
  ViewerContext& context_;
};

}  // namespace process
