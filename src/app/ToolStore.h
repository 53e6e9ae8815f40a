#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "engine/deck/TrackInfoStore.h"
#include "platform/InstanceLock.h"

// The track info store of the data folder as the command-line tools use it: read when there is
// one, and, when kept, taken under the program's lock (the program rewrites it while it runs) and
// saved at the end. Not kept, it is left as it is on the disk. Main thread.
class ToolStore {
  public:
    // tool: the name the messages begin with.
    ToolStore(std::string tool, bool keep);

    // Reads the settings' detector choice and the store; false, said on err, when the store is to
    // be kept and cannot be.
    bool open(std::ostream& err);
    // When kept: writes the store; false, said on err, when it could not.
    bool save(std::ostream& err);

    TrackInfoStore& store() { return *store_; }
    int32_t optimizedDetection() const { return optimizedDetection_; }

  private:
    std::string tool_;
    bool keep_;
    int32_t optimizedDetection_ = 1;
    InstanceLock lock_;
    std::optional<TrackInfoStore> store_;
};
