#include <gtest/gtest.h>

#include "document/saved_states.h"

namespace quirelle {
namespace {

TEST(SavedStatesTest, NestingBeyondTheBoundStaysPaired) {
  SavedStates<int> saved;
  int state = 0;
  const int depth = int(max_saved_states) + 100;
  for (int level = 0; level < depth; ++level) {
    saved.push(state);
    state = level + 1;
  }
  for (int level = 0; level < depth; ++level) saved.pop(state);
  EXPECT_EQ(state, 0);  // the outermost Q restores the outermost q
  saved.pop(state);     // an unbalanced Q changes nothing
  EXPECT_EQ(state, 0);
}

TEST(SavedStatesTest, InnerStatesAreRestored) {
  SavedStates<int> saved;
  int state = 1;
  saved.push(state);
  state = 2;
  saved.push(state);
  state = 3;
  saved.pop(state);
  EXPECT_EQ(state, 2);
  saved.pop(state);
  EXPECT_EQ(state, 1);
}

}  // namespace
}  // namespace quirelle
