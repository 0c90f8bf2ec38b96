#include "engine/qt/backend_threads.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <string_view>
#include <thread>

namespace zelmar::qt {
namespace {

// The threads of this process, by id.
std::vector<std::string> ourThreads() {
  std::vector<std::string> ids;
  if (DIR* dir = opendir("/proc/self/task")) {
    while (const dirent* e = readdir(dir))
      if (e->d_name[0] != '.') ids.emplace_back(e->d_name);
    closedir(dir);
  }
  return ids;
}

// The state letter of thread `id` in /proc ('R', 'S', 'D'...), 0 once it has
// ended. Read with plain read(2): a thread that ends meanwhile makes it fail.
char stateOf(const std::string& id) {
  char stat[512];
  ssize_t n = -1;
  const int fd = open(("/proc/self/task/" + id + "/stat").c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    n = read(fd, stat, sizeof stat - 1);
    close(fd);
  }
  // "tid (name) S ...": the name may hold blanks and parentheses.
  const std::string_view text(stat, size_t(std::max<ssize_t>(n, 0)));
  const size_t end = text.rfind(')');
  if (end == std::string_view::npos || end + 2 >= text.size()) return 0;
  const char state = text[end + 2];
  return state == 'Z' || state == 'X' ? 0 : state;
}

}  // namespace

void BackendThreads::beforeStart() {
  before_ = ourThreads();
  readers_.clear();
}

void BackendThreads::afterStart() {
  for (std::string& id : ourThreads())
    if (std::find(before_.begin(), before_.end(), id) == before_.end())
      readers_.push_back(std::move(id));
}

void BackendThreads::settle(bool untilEnded) const {
  using namespace std::chrono;
  const auto until = steady_clock::now() + milliseconds(500);
  // Twice in a row, so a reader caught between two steps of a write loop is
  // looked at again.
  for (int calm = 0; calm < 2 && steady_clock::now() < until;) {
    const bool busy = std::any_of(readers_.begin(), readers_.end(), [&](const std::string& id) {
      const char state = stateOf(id);
      return untilEnded ? state != 0 : state != 0 && state != 'S';
    });
    calm = busy ? 0 : calm + 1;
    if (calm < 2) std::this_thread::sleep_for(microseconds(200));
  }
}

void prepareThreadExit() {
  static std::once_flag once;
  std::call_once(once, [] {
    pthread_t t;
    if (pthread_create(
            &t, nullptr, +[](void*) -> void* { pthread_exit(nullptr); }, nullptr) == 0)
      pthread_join(t, nullptr);
  });
}

}  // namespace zelmar::qt
