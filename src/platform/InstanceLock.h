#pragma once

#include <QLockFile>
#include <filesystem>
#include <memory>
#include <string>

// The lock that lets only one Spinora run at a time ("spinora.lock" in the runtime folder, or in
// the temporary folder when the runtime folder is missing or unwritable). The analysis tool takes
// it too before it rewrites the track info store, which Spinora rewrites while it runs.
class InstanceLock {
  public:
    InstanceLock();
    ~InstanceLock();
    // False when another process holds the lock or it cannot be made (see heldElsewhere).
    bool tryLock();
    // After a failed tryLock: whether another process holds the lock, rather than it could not
    // be made at all.
    bool heldElsewhere() const { return heldElsewhere_; }
    // After a failed tryLock that found no other holder: why, naming the lock file.
    const std::string& failure() const { return failure_; }
    // After tryLock took the lock or found it held: the socket its holder listens at, beside it.
    std::filesystem::path socket() const { return folder_ / "spinora.socket"; }

  private:
    std::unique_ptr<QLockFile> lock_;
    std::filesystem::path folder_;
    bool heldElsewhere_ = false;
    std::string failure_;
};
