#pragma once
// The lifetime rule of every secondary window: created on first use, kept
// until unloaded, created afresh when used again. Asking whether it is
// loaded never creates it.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <utility>

class LazyWindowBase {
 public:
  virtual ~LazyWindowBase() = default;
  virtual bool loaded() const = 0;
  // Hides the window and forgets it at once; it is destroyed when control
  // returns to the event loop, so a window may be unloaded from inside its
  // own handlers (the tool bar's exit key does).
  virtual void unload() = 0;
};

template <typename T>
class LazyWindow : public LazyWindowBase {
 public:
  // `make` builds the window; its load steps run in T's constructor.
  explicit LazyWindow(std::function<T*()> make) : make_(std::move(make)) {}

  // The window, created now if it is not loaded.
  T* get() {
    if (!window_) window_ = make_();
    return window_;
  }
  // The window if it is loaded, else null.
  T* ifLoaded() const { return window_; }
  bool loaded() const override { return !window_.isNull(); }
  bool visible() const { return window_ && window_->isVisible(); }

  void unload() override {
    T* w = window_;
    if (!w) return;
    window_ = nullptr;
    w->hide();
    w->deleteLater();
  }

 private:
  std::function<T*()> make_;
  QPointer<T> window_;
};
