// The projects open in the host: each package path with its project's undo
// history and whether it has changed since it was last written.
//
// One mutex guards all of it; tool handlers hold lock() for the whole of an
// edit. Saving copies the project under the lock and writes it outside, so a
// slow disk never holds up other calls; a second mutex keeps two writes of
// the store from overlapping.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "RecorderCore/motion/EventLog.h"
#include "RecorderCore/project/Project.h"
#include "RecorderCore/project/UndoStack.h"

namespace RecorderCore {

class ProjectStore {
 public:
  struct Document {
    std::filesystem::path package;
    UndoStack<Project> history;
    // Bumped by every edit and undo; equal to savedRevision when on disk.
    std::uint64_t revision = 0;
    std::uint64_t savedRevision = 0;

    // The event log last read for this document and the asset path it came
    // from: a recording's log is written once, so add_zoom need not read and
    // decode the file again on every call. Empty log: unreadable.
    struct EventLogCache {
      std::string relativePath;
      std::optional<EventLog> log;
    };
    std::optional<EventLogCache> events;

    const Project& project() const { return history.current(); }
    bool changed() const { return revision != savedRevision; }
  };

  ProjectStore() = default;
  ~ProjectStore();
  ProjectStore(const ProjectStore&) = delete;
  ProjectStore& operator=(const ProjectStore&) = delete;

  // The lock over every document; hold it while using the members below.
  std::unique_lock<std::mutex> lock() { return std::unique_lock(mutex_); }

  // Loads the package (or finds it open already) and makes it current.
  // Throws what ProjectPackage::load throws.
  Document& open(const std::filesystem::path& package);
  // The document the editing tools act on, or nullptr.
  Document* current();
  const std::vector<std::unique_ptr<Document>>& documents() const { return documents_; }

  // How many undo steps a document keeps. Every step is a whole project, so
  // an agent making thousands of edits would otherwise hold thousands of
  // copies; the oldest steps beyond this are let go.
  static constexpr std::size_t kHistoryDepth = 100;

  // Records an edit on the document's history; a coalescing edit folds into
  // the previous step when that has the same label.
  static void edit(Document& document, Project edited, std::string label, bool coalescing = false);
  // Reverts the latest step; false when there is none.
  static bool undo(Document& document);

  // Writes the current document now; call WITHOUT holding lock(). False
  // when no project is open. Throws the save's filesystem_error.
  bool saveCurrent();
  // Writes every changed document; call without holding lock(). Returns how
  // many were written; failures are left for the next round.
  std::size_t saveChanged();

  // Saves changed documents every `interval` on a thread of its own until
  // stopAutosave() or destruction.
  void startAutosave(std::chrono::milliseconds interval);
  void stopAutosave();

 private:
  bool saveDocument(Document* document);

  std::mutex mutex_;
  std::mutex saveMutex_;
  std::vector<std::unique_ptr<Document>> documents_;
  Document* current_ = nullptr;

  std::mutex autosaveMutex_;
  std::condition_variable autosaveWake_;
  bool autosaveStop_ = false;
  std::thread autosave_;
};

}  // namespace RecorderCore
