#include "platform/InstanceLock.h"

#include <QString>

#include "platform/Paths.h"

InstanceLock::InstanceLock() = default;

InstanceLock::~InstanceLock() = default;

bool InstanceLock::tryLock() {
    heldElsewhere_ = false;
    failure_.clear();
    for (const std::filesystem::path& folder : lockFolders()) {
        const std::filesystem::path file = folder / "spinora.lock";
        lock_ = std::make_unique<QLockFile>(QString::fromStdString(file.string()));
        // A long session must not be taken for a dead one; a crashed one is still detected by
        // its process id.
        lock_->setStaleLockTime(0);
        if (lock_->tryLock(0)) {
            failure_.clear();
            folder_ = folder;
            return true;
        }
        if (lock_->error() == QLockFile::LockFailedError) {
            heldElsewhere_ = true;
            folder_ = folder;
            return false;
        }
        failure_ = "the lock " + file.string() + " cannot be made" +
                   (lock_->error() == QLockFile::PermissionError ? " (no permission)" : "");
    }
    return false;
}
