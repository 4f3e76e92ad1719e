#include "RecorderCore/project/UndoStack.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/project/Project.h"
#include "tests/project/TestSupport.h"

namespace RecorderCore {
namespace {

using Stack = UndoStack<int>;

// Whole projects: undo gives back the exact value.
TEST(UndoStack, RestoresWholeProjects) {
  Project project;
  project.clips = {Clip{Uuid::random(), Uuid::random(), 0, 30, 1}};
  UndoStack<Project> history(project);
  Project edited = project;
  edited.cut(10, 20);
  history.push(edited, "Cut");
  ASSERT_TRUE(history.undo());
  EXPECT_EQ(history.current(), project);
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

  void truncate() { states.resize(position + 1), labels.resize(position); }
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
  bool undo() { return position > 0 && (--position, coalescing = false, true); }
  bool redo() { return position + 1 < states.size() && (++position, coalescing = false, true); }
  void keepNewest(std::size_t steps) {
    if (position <= steps) return;
    const auto dropped = static_cast<std::ptrdiff_t>(position - steps);
    states.erase(states.begin(), states.begin() + dropped);
    labels.erase(labels.begin(), labels.begin() + dropped);
    position = steps;
  }
};

enum class Op { push, pushCoalescing, undo, redo, breakCoalescing, keepNewest };

struct Command {
  Op op;
  int value;
  std::string label;
};

RC_GTEST_PROP(UndoStackProperty, AgreesWithAReferenceHistory, ()) {
  // Few values and labels, so that equal values and repeated labels are common.
  const auto command = rc::gen::construct<Command>(
      rc::gen::element(Op::push, Op::pushCoalescing, Op::pushCoalescing, Op::undo, Op::redo, Op::breakCoalescing,
                       Op::keepNewest),
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
      case Op::keepNewest:
        stack.keepNewest(static_cast<std::size_t>(c.value));
        reference.keepNewest(static_cast<std::size_t>(c.value));
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
