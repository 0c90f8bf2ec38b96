#pragma once

#include <string>
#include <vector>

namespace zelmar::qt {

// Scanner backends read the device on a thread of their own and stop it
// with an asynchronous pthread_cancel: at the read that reports the end of a
// pass, at sane_cancel, at the next sane_start; also when the reader is
// already on its way out. A thread cancelled inside malloc or free dies
// holding a heap lock, and the join, or any later allocation on that heap,
// waits for ever. The safe moments to cancel are while the reader sleeps in
// the kernel (a full pipe, a delay) or once it has ended.
class BackendThreads {
 public:
  // Around sane_start: the threads it starts are the pass's readers.
  void beforeStart();
  void afterStart();
  // Waits, at most half a second, until every reader has ended or, unless
  // `untilEnded`, sleeps in the kernel. A reader that has delivered a whole
  // pass ends by itself: at that point a sleeping one may be waiting for a
  // heap lock on its way out.
  void settle(bool untilEnded) const;

 private:
  std::vector<std::string> before_, readers_;
};

// glibc looks up its unwinder when a thread first exits or is cancelled,
// holding the loader's lock, from inside that thread: a backend's reader
// cancelled at that moment leaves the lock taken and the next dlclose (at
// sane_exit) hangs. One thread exiting here first settles the lookup.
void prepareThreadExit();

}  // namespace zelmar::qt
