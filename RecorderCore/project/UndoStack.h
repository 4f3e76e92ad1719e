// A history of whole snapshots of one document value, for undo and redo.
//
// Every edit pushes the new value with a label naming the edit; undo() and
// redo() move between snapshots and restore them exactly. A coalescing push
// folds a run of small edits with the same label (dragging a slider, typing)
// into one step, so one undo returns to the value from before the run.
//
//   UndoStack<Project> history(project);
//   history.push(edited, "Cut");
//   history.undo();          // current() is the project before the cut
//   history.redoLabel();     // "Cut"
//
// The history has no depth limit: nothing is dropped from either end.
// Intentionally copyable; a plain value with no locking, so whoever owns it
// serialises access. `Value` needs copying and operator==, which tells a real
// edit from a push of the same value.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace RecorderCore {

template <class Value>
class UndoStack {
 public:
  // One step of the history. In past(): the state before an edit and that
  // edit's label. In future(): the state an undo left and the label of the
  // edit that was undone. So the label travels with its step both ways.
  struct Entry {
    Value value;
    std::string label;

    bool operator==(const Entry&) const = default;
  };

  explicit UndoStack(Value initial) : current_(std::move(initial)) {}

  const Value& current() const { return current_; }
  // Earlier states, oldest first; undo() returns to the last one.
  const std::vector<Entry>& past() const { return past_; }
  // Undone states; redo() returns to the last one.
  const std::vector<Entry>& future() const { return future_; }
  // Whether the latest change of the history was a coalescing push.
  bool lastPushWasCoalescing() const { return lastPushWasCoalescing_; }

  // Records `value` as one undo step and drops the redo history. A value
  // equal to current() changes nothing at all (the redo history survives).
  // Leaves lastPushWasCoalescing() as it was, so a coalescing run resumes
  // after a plain push with the run's label.
  void push(Value value, std::string label) {
    if (value == current_) return;
    pushChanged(std::move(value), std::move(label));
  }

  // Records `value`, merging it into the previous step when that step was
  // made by a coalescing push with the same label and the run has not been
  // broken since: the step's entry keeps the state from before the run's
  // first push. Otherwise starts a new step. A value equal to current()
  // changes nothing.
  void pushCoalescing(Value value, std::string label) {
    if (value == current_) return;
    if (!past_.empty() && past_.back().label == label && lastPushWasCoalescing_) {
      current_ = std::move(value);
      future_.clear();
      return;
    }
    pushChanged(std::move(value), std::move(label));
    lastPushWasCoalescing_ = true;
  }

  // Returns to the state before the latest step; false (and no change) when
  // there is none. Ends any coalescing run.
  bool undo() { return step(past_, future_); }

  // Re-applies the latest undone step; false (and no change) when there is
  // none. Ends any coalescing run.
  bool redo() { return step(future_, past_); }

  bool canUndo() const { return !past_.empty(); }
  bool canRedo() const { return !future_.empty(); }

  // The label of the step undo() would revert, or nothing.
  std::optional<std::string> undoLabel() const {
    if (past_.empty()) return std::nullopt;
    return past_.back().label;
  }

  // The label of the step redo() would re-apply, or nothing.
  std::optional<std::string> redoLabel() const {
    if (future_.empty()) return std::nullopt;
    return future_.back().label;
  }

  // Ends the current coalescing run: the next coalescing push starts a new
  // step even with the same label.
  void breakCoalescing() { lastPushWasCoalescing_ = false; }

  // Forgets the oldest undo steps so that at most `steps` remain; current()
  // and the redo history stay as they are. For an owner that bounds the
  // memory a long editing session holds.
  void keepNewest(std::size_t steps) {
    if (past_.size() <= steps) return;
    past_.erase(past_.begin(), past_.end() - static_cast<std::ptrdiff_t>(steps));
  }

 private:
  void pushChanged(Value value, std::string label) {
    reserveOneMore(past_);
    past_.push_back(Entry{std::move(current_), std::move(label)});
    future_.clear();
    current_ = std::move(value);
  }

  // Moves one step from `from` to `to`, swapping current() with the entry.
  bool step(std::vector<Entry>& from, std::vector<Entry>& to) {
    if (from.empty()) return false;
    reserveOneMore(to);
    Entry entry = std::move(from.back());
    from.pop_back();
    to.push_back(Entry{std::move(current_), std::move(entry.label)});
    current_ = std::move(entry.value);
    lastPushWasCoalescing_ = false;
    return true;
  }

  // Grows `entries` before anything is moved out of current_, so that a
  // failed allocation leaves the history as it was. (The moves that follow
  // cannot throw for values with noexcept moves, such as Project.)
  static void reserveOneMore(std::vector<Entry>& entries) {
    if (entries.size() == entries.capacity()) entries.reserve(entries.empty() ? 8 : 2 * entries.size());
  }

  Value current_;
  std::vector<Entry> past_;
  std::vector<Entry> future_;
  bool lastPushWasCoalescing_ = false;
};

}  // namespace RecorderCore
