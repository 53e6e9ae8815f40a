#pragma once

class QString;

// Where a file that could not be saved is said. Main thread only.
class SaveFailures {
  public:
    virtual ~SaveFailures() = default;
    virtual void saveFailed(const QString& text) = 0;
};
