#include "RecorderCore/project/UndoStack.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/project/Project.h"

namespace RecorderCore {
namespace {

using Stack = UndoStack<int>;

std::vector<int> values(const std::vector<Stack::Entry>& entries) {
  std::vector<int> result;
  for (const auto& entry : entries) result.push_back(entry.value);
  return result;
}

TEST(UndoStack, ANewStackHasNothingToUndoOrRedo) {
  Stack stack(5);
  EXPECT_EQ(stack.current(), 5);
  EXPECT_FALSE(stack.canUndo());
  EXPECT_FALSE(stack.canRedo());
  EXPECT_EQ(stack.undoLabel(), std::nullopt);
  EXPECT_EQ(stack.redoLabel(), std::nullopt);
  EXPECT_FALSE(stack.undo());
  EXPECT_FALSE(stack.redo());
  EXPECT_EQ(stack.current(), 5);
  EXPECT_FALSE(stack.lastPushWasCoalescing());
}

TEST(UndoStack, PushingTheCurrentValueChangesNothingNotEvenTheFuture) {
  Stack stack(0);
  stack.push(1, "Move");
  stack.pushCoalescing(2, "Drag");
  ASSERT_TRUE(stack.undo());
  const auto past = stack.past();
  const auto future = stack.future();
  stack.push(1, "Move again");
  stack.pushCoalescing(1, "Drag");
  EXPECT_EQ(stack.past(), past);
  EXPECT_EQ(stack.future(), future);
  EXPECT_FALSE(stack.lastPushWasCoalescing());
  EXPECT_TRUE(stack.redo());
  EXPECT_EQ(stack.current(), 2);
}

TEST(UndoStack, UndoAndRedoCarryTheLabelWithTheStep) {
  Stack stack(0);
  stack.push(1, "A");
  stack.push(2, "B");
  EXPECT_EQ(stack.undoLabel(), "B");
  ASSERT_TRUE(stack.undo());
  EXPECT_EQ(stack.current(), 1);
  EXPECT_EQ(stack.undoLabel(), "A");
  EXPECT_EQ(stack.redoLabel(), "B");
  ASSERT_TRUE(stack.redo());
  EXPECT_EQ(stack.current(), 2);
  EXPECT_EQ(stack.undoLabel(), "B");
  EXPECT_EQ(stack.redoLabel(), std::nullopt);
  EXPECT_EQ(values(stack.past()), (std::vector<int>{0, 1}));
}

TEST(UndoStack, ARunOfCoalescingPushesIsOneStep) {
  Stack stack(0);
  stack.pushCoalescing(1, "Padding");
  stack.pushCoalescing(2, "Padding");
  stack.pushCoalescing(3, "Padding");
  EXPECT_EQ(stack.past().size(), 1u);
  EXPECT_TRUE(stack.lastPushWasCoalescing());
  ASSERT_TRUE(stack.undo());
  EXPECT_EQ(stack.current(), 0);
  EXPECT_FALSE(stack.canUndo());
  EXPECT_EQ(values(stack.future()), (std::vector<int>{3}));
}

TEST(UndoStack, WhatEndsACoalescingRun) {
  static const struct {
    const char* what;
    void (*between)(Stack&);  // done between two coalescing pushes labelled A
    std::size_t entries;      // past().size() afterwards
  } cases[] = {
      {"nothing", [](Stack&) {}, 1},
      {"another label", [](Stack& s) { s.pushCoalescing(10, "B"); }, 3},
      {"breakCoalescing", [](Stack& s) { s.breakCoalescing(); }, 2},
      {"undo", [](Stack& s) { s.undo(); }, 1},  // the run's entry was undone; a new step starts
      {"undo and redo", [](Stack& s) { s.undo(), s.redo(); }, 2},
      // A plain push leaves the flag set: the next push merges into its step.
      {"plain push, same label", [](Stack& s) { s.push(10, "A"); }, 2},
      {"plain push, other label", [](Stack& s) { s.push(10, "B"); }, 3},
  };
  for (const auto& c : cases) {
    Stack stack(0);
    stack.pushCoalescing(1, "A");
    c.between(stack);
    stack.pushCoalescing(20, "A");
    EXPECT_EQ(stack.past().size(), c.entries) << c.what;
    EXPECT_EQ(stack.current(), 20) << c.what;
    EXPECT_FALSE(stack.canRedo()) << c.what;
  }

  Stack abab(0);
  abab.pushCoalescing(1, "A");
  abab.pushCoalescing(2, "A");
  abab.pushCoalescing(3, "B");
  abab.pushCoalescing(4, "A");
  EXPECT_EQ(abab.past().size(), 3u);
}

// (A merge clears the future too, but it cannot be seen: only undo and redo
// fill the future, and both end the run a merge needs.)
TEST(UndoStack, AnyPushAfterAnUndoClearsTheFuture) {
  for (bool coalescing : {false, true}) {
    Stack stack(0);
    stack.push(1, "A");
    stack.push(2, "B");
    stack.undo();
    stack.undo();
    ASSERT_EQ(stack.future().size(), 2u);
    if (coalescing) {
      stack.pushCoalescing(3, "B");
    } else {
      stack.push(3, "B");
    }
    EXPECT_FALSE(stack.canRedo()) << coalescing;
    EXPECT_EQ(values(stack.past()), (std::vector<int>{0})) << coalescing;
  }
}

// Whole projects: undo restores the exact value, redo the edited one.
TEST(UndoStack, RestoresWholeProjects) {
  Project project;
  project.clips = {Clip{Uuid::random(), Uuid::random(), 0, 30, 1}};
  UndoStack<Project> history(project);
  Project edited = history.current();
  edited.cut(10, 20);
  history.push(edited, "Cut");
  ASSERT_TRUE(history.undo());
  EXPECT_EQ(history.current(), project);
  ASSERT_TRUE(history.redo());
  EXPECT_EQ(history.current(), edited);
  EXPECT_EQ(history.undoLabel(), "Cut");
}

// The reference: every state ever reached on one line with a cursor, and
// the label of each step between neighbours. Undo and redo move the cursor;
// a push cuts the line after it.
struct ReferenceHistory {
  std::vector<int> states;
  std::vector<std::string> labels;  // labels[i] leads from states[i] to states[i + 1]
  std::size_t position = 0;
  bool coalescing = false;

  explicit ReferenceHistory(int initial) : states{initial} {}

  void truncate() {
    states.resize(position + 1);
    labels.resize(position);
  }
  void push(int value, const std::string& label) {
    if (value == states[position]) return;
    truncate();
    states.push_back(value);
    labels.push_back(label);
    ++position;
  }
  void pushCoalescing(int value, const std::string& label) {
    if (value == states[position]) return;
    if (position > 0 && labels[position - 1] == label && coalescing) {
      truncate();
      states[position] = value;
      return;
    }
    push(value, label);
    coalescing = true;
  }
  bool undo() {
    if (position == 0) return false;
    --position;
    coalescing = false;
    return true;
  }
  bool redo() {
    if (position + 1 == states.size()) return false;
    ++position;
    coalescing = false;
    return true;
  }
};

enum class Op { push, pushCoalescing, undo, redo, breakCoalescing };

struct Command {
  Op op;
  int value;
  std::string label;
};

RC_GTEST_PROP(UndoStackProperty, AgreesWithAReferenceHistory, ()) {
  // Few values and labels, so that equal values and repeated labels are common.
  const auto command = rc::gen::construct<Command>(
      rc::gen::element(Op::push, Op::pushCoalescing, Op::pushCoalescing, Op::undo, Op::redo, Op::breakCoalescing),
      rc::gen::inRange(0, 4), rc::gen::element<std::string>("A", "B", "C"));
  const auto commands = *rc::gen::container<std::vector<Command>>(command);

  Stack stack(0);
  ReferenceHistory reference(0);
  for (const Command& c : commands) {
    switch (c.op) {
      case Op::push:
        stack.push(c.value, c.label);
        reference.push(c.value, c.label);
        break;
      case Op::pushCoalescing:
        stack.pushCoalescing(c.value, c.label);
        reference.pushCoalescing(c.value, c.label);
        break;
      case Op::undo:
        RC_ASSERT(stack.undo() == reference.undo());
        break;
      case Op::redo:
        RC_ASSERT(stack.redo() == reference.redo());
        break;
      case Op::breakCoalescing:
        stack.breakCoalescing();
        reference.coalescing = false;
        break;
    }
    const std::size_t at = reference.position;
    RC_ASSERT(stack.current() == reference.states[at]);
    RC_ASSERT(stack.canUndo() == (at > 0));
    RC_ASSERT(stack.canRedo() == (at + 1 < reference.states.size()));
    RC_ASSERT(stack.undoLabel() == (at > 0 ? std::optional(reference.labels[at - 1]) : std::nullopt));
    RC_ASSERT(stack.redoLabel() ==
              (at + 1 < reference.states.size() ? std::optional(reference.labels[at]) : std::nullopt));
    RC_ASSERT(stack.lastPushWasCoalescing() == reference.coalescing);
    // The whole of both lists, oldest past first and nearest future last.
    RC_ASSERT(stack.past().size() == at);
    for (std::size_t i = 0; i < at; ++i) {
      RC_ASSERT(stack.past()[i].value == reference.states[i]);
      RC_ASSERT(stack.past()[i].label == reference.labels[i]);
    }
    RC_ASSERT(stack.future().size() == reference.states.size() - at - 1);
    for (std::size_t i = 0; i < stack.future().size(); ++i) {
      const std::size_t state = reference.states.size() - 1 - i;
      RC_ASSERT(stack.future()[i].value == reference.states[state]);
      RC_ASSERT(stack.future()[i].label == reference.labels[state - 1]);
    }
  }
}

}  // namespace
}  // namespace RecorderCore
