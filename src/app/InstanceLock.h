#pragma once

#include <QLockFile>

// The lock that lets only one Spinora run at a time ("spinora.lock" in the runtime folder). The
// analysis tool takes it too before it rewrites the track info store, which Spinora rewrites
// when it quits.
class InstanceLock {
  public:
    InstanceLock();
    // False when another process holds the lock.
    bool tryLock();

  private:
    QLockFile lock_;
};
