#pragma once
// The stack of states that q saves and Q restores, bounded: a few hundred
// bytes of deflate can hold millions of q, which must not become gigabytes
// of saved states. Pushes beyond the bound are only counted, so that their
// Q still pair up and leave the saved states below them in place.

#include <cstddef>
#include <vector>

namespace quirelle {

// Far beyond real nesting (the PDF standard's own limit was 28 levels).
inline constexpr size_t max_saved_states = 256;

template <class State>
class SavedStates {
 public:
  void push(const State& state) {
    if (states_.size() < max_saved_states)
      states_.push_back(state);
    else
      ++unsaved_;
  }

  // Restores the last saved state into `state`; an unbalanced Q changes nothing.
  void pop(State& state) {
    if (unsaved_ > 0) {
      --unsaved_;
    } else if (!states_.empty()) {
      state = states_.back();
      states_.pop_back();
    }
  }

 private:
  std::vector<State> states_;
  size_t unsaved_ = 0;
};

}  // namespace quirelle
