#include "host/ProjectStore.h"

#include "RecorderCore/project/ProjectPackage.h"

namespace RecorderCore {

ProjectStore::~ProjectStore() { stopAutosave(); }

ProjectStore::Document& ProjectStore::open(const std::filesystem::path& package) {
  const auto normal = std::filesystem::weakly_canonical(package);
  for (auto& document : documents_) {
    if (document->package == normal) {
      current_ = document.get();
      return *document;
    }
  }
  Project project = ProjectPackage::load(normal);
  documents_.push_back(std::make_unique<Document>(Document{normal, UndoStack<Project>(std::move(project)), 0, 0, std::nullopt}));
  current_ = documents_.back().get();
  return *current_;
}

ProjectStore::Document* ProjectStore::current() { return current_; }

void ProjectStore::edit(Document& document, Project edited, std::string label, bool coalescing) {
  if (edited == document.history.current()) return;
  if (coalescing) {
    document.history.pushCoalescing(std::move(edited), std::move(label));
  } else {
    document.history.breakCoalescing();
    document.history.push(std::move(edited), std::move(label));
  }
  document.history.keepNewest(kHistoryDepth);
  ++document.revision;
}

bool ProjectStore::undo(Document& document) {
  if (!document.history.undo()) return false;
  ++document.revision;
  return true;
}

bool ProjectStore::saveDocument(Document* document) {
  // Documents are never closed, so the pointer stays valid without the lock.
  std::lock_guard writing(saveMutex_);
  Project snapshot;
  std::uint64_t revision = 0;
  std::filesystem::path package;
  {
    std::lock_guard guard(mutex_);
    snapshot = document->project();
    revision = document->revision;
    package = document->package;
  }
  ProjectPackage::save(snapshot, package);
  std::lock_guard guard(mutex_);
  if (document->savedRevision < revision) document->savedRevision = revision;
  return true;
}

bool ProjectStore::saveCurrent() {
  Document* document = nullptr;
  {
    std::lock_guard guard(mutex_);
    document = current_;
  }
  if (document == nullptr) return false;
  return saveDocument(document);
}

std::size_t ProjectStore::saveChanged() {
  std::vector<Document*> changed;
  {
    std::lock_guard guard(mutex_);
    for (auto& document : documents_) {
      if (document->changed()) changed.push_back(document.get());
    }
  }
  std::size_t saved = 0;
  for (Document* document : changed) {
    try {
      if (saveDocument(document)) ++saved;
    } catch (const std::exception&) {
      // Still marked changed: the next round tries again.
    }
  }
  return saved;
}

void ProjectStore::startAutosave(std::chrono::milliseconds interval) {
  stopAutosave();
  {
    std::lock_guard guard(autosaveMutex_);
    autosaveStop_ = false;
  }
  autosave_ = std::thread([this, interval] {
    std::unique_lock guard(autosaveMutex_);
    while (!autosaveWake_.wait_for(guard, interval, [this] { return autosaveStop_; })) {
      guard.unlock();
      saveChanged();
      guard.lock();
    }
  });
}

void ProjectStore::stopAutosave() {
  {
    std::lock_guard guard(autosaveMutex_);
    autosaveStop_ = true;
  }
  autosaveWake_.notify_all();
  if (autosave_.joinable()) autosave_.join();
}

}  // namespace RecorderCore
