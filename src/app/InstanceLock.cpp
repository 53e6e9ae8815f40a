#include "app/InstanceLock.h"

#include <QString>

#include "app/Paths.h"

InstanceLock::InstanceLock()
    : lock_(QString::fromStdString((runtimeFolder() / "spinora.lock").string())) {
    // A long session must not be taken for a dead one; a crashed one is still detected by its
    // process id.
    lock_.setStaleLockTime(0);
}

bool InstanceLock::tryLock() {
    return lock_.tryLock(0);
}
