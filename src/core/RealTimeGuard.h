#pragma once

// The threads that feed the sound cards (the deck service thread, the device callbacks) must never
// allocate, lock, wait or open a file. Each marks itself for as long as it runs; code that may
// block asks mayBlock() first, and a checking build's allocation hook does the same, so a test
// sees every slip as a counted violation.
namespace realtime {

// any: whether the calling thread is marked real-time.
bool onRealTimeThread();

// any: marks the calling thread real-time for the scope's life (scopes nest).
class Scope {
  public:
    Scope();
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

  private:
    bool previous_;
};

// any: about to do something that may block (`what` names it, a string literal); counted as a
// violation on a real-time thread. Never allocates or locks itself.
void mayBlock(const char* what);

// any: the violations counted so far, and the name of the last one (null when none).
long violations();
const char* lastViolation();
// any: starts the count again (tests).
void resetViolations();

}  // namespace realtime
