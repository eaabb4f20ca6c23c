#pragma once

#include <utility>

#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/NSThread.h"

// The two rules by which the exported window functions reach the one main window. The
// window lives in `State::window()` (TolvekWindowState for the application), which is
// read only on the main thread and only at the moment the work runs there. Whatever the
// operation needs from the caller is captured by value before the rule is applied.

// A command: on the main thread it runs at once; from any other thread it is queued to
// the main queue and the caller returns before it has run. Without a window it does
// nothing.
template <typename State, typename Operation>
void windowOnMain(Operation operation) {
  if (NSThread::isMainThread()) {
    if (const auto window = State::window()) operation(window);
    return;
  }
  platform::mainQueue().async([operation = std::move(operation)]() mutable {
    if (const auto window = State::window()) operation(window);
  });
}

// A query: its value, computed on the main thread. From any other thread the caller waits
// for the main queue to run it, so it sees every command the same thread queued before.
// Without a window the answer is `defaultValue`.
template <typename State, typename Value, typename Operation>
Value windowResultOnMain(Value defaultValue, Operation operation) {
  const auto answer = [&]() -> Value {
    if (const auto window = State::window()) return operation(window);
    return defaultValue;
  };
  if (NSThread::isMainThread()) return answer();
  Value value = defaultValue;
  platform::mainQueue().sync([&] { value = answer(); });
  return value;
}
