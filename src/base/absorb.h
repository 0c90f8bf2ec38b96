#pragma once
// The building blocks of every command that drives the engine: the
// error-absorbing mode, the busy cursor and automatic repaint held off.
#include <QApplication>
#include <exception>
#include <type_traits>

#include "engine/qt/image_engine.h"

// The error-absorbing mode commands run engine calls in: a failing call is
// abandoned, its error number kept, and the command goes on. A call fails
// when it throws EngineError (RaiseErrors on) or returns nonzero (off) —
// both count, so a quiet failure is never taken for success. Nothing is
// reported or logged.
class ErrorAbsorber {
 public:
  // Runs `call`; returns its result, or a value-initialised one when it threw.
  template <typename F>
  auto run(F&& call) -> decltype(call()) {
    using R = decltype(call());
    try {
      if constexpr (std::is_void_v<R>) {
        call();
      } else if constexpr (std::is_integral_v<R>) {
        const R status = call();
        if (status != 0) record(int(status));
        return status;
      } else {
        return call();
      }
    } catch (const EngineError& e) {
      record(e.code() != 0 ? e.code() : kUnknown);
    } catch (const std::exception&) {
      record(kUnknown);
    }
    if constexpr (!std::is_void_v<R>) return R{};
  }

  // Records an error raised by the command itself (a bad list index, say).
  void record(int code) {
    if (error_ == 0) error_ = code;
  }
  int error() const { return error_; }
  bool failed() const { return error_ != 0; }

  static constexpr int kSubscript = 9;  // index outside the picture list
  static constexpr int kUnknown = -1;

 private:
  int error_ = 0;
};

// The screen-wide busy cursor, balanced however the command ends.
class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { restore(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
  void restore() {
    if (active_) QApplication::restoreOverrideCursor();
    active_ = false;
  }

 private:
  bool active_ = true;
};

// Automatic repaint switched off for a scope, so the engine paints once when
// told; the value found is written back at the end, also after a failure.
class RepaintHold {
 public:
  explicit RepaintHold(ImageEngine& engine) : engine_(engine), saved_(engine.RepaintEnabled()) {
    engine_.setRepaintEnabled(false);
  }
  ~RepaintHold() {
    ErrorAbsorber().run([this] { engine_.setRepaintEnabled(saved_); });
  }
  RepaintHold(const RepaintHold&) = delete;
  RepaintHold& operator=(const RepaintHold&) = delete;

 private:
  ImageEngine& engine_;
  bool saved_;
};
