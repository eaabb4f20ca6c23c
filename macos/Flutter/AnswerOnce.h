#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <utility>

#include "platform/dispatch/MainThread.h"

// A callback that delivers exactly one answer. Copies share the answer: the first call
// delivers it; a second call is a programming error (checked in debug builds, dropped
// otherwise). When the last copy goes away unanswered, `fallback` is delivered, so the
// side waiting for the answer never waits forever.
template <typename T>
class AnswerOnce {
 public:
  AnswerOnce() = default;
  AnswerOnce(std::function<void(T)> deliver, T fallback)
      : state_(std::make_shared<State>(std::move(deliver), std::move(fallback))) {}

  void operator()(T answer) const {
    if (state_) state_->answer(std::move(answer));
  }
  bool answered() const { return state_ && state_->answered.load(); }
  explicit operator bool() const { return state_ != nullptr; }

 private:
  struct State {
    State(std::function<void(T)> d, T f) : deliver(std::move(d)), fallback(std::move(f)) {}
    ~State() {
      if (!answered.exchange(true) && deliver) deliver(std::move(fallback));
    }
    void answer(T value) {
      if (answered.exchange(true)) {
        TOLVEK_DCHECK(false, "a reply was answered twice");
        return;
      }
      auto once = std::move(deliver);
      deliver = nullptr;
      if (once) once(std::move(value));
    }
    std::function<void(T)> deliver;
    T fallback;
    std::atomic<bool> answered{false};
  };
  std::shared_ptr<State> state_;
};
