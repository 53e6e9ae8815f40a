#pragma once

// The switches of the automatic mix that the auto-mix page shows. Main thread only.
class AutoMixSwitches {
  public:
    virtual ~AutoMixSwitches() = default;
    virtual bool autoMixOn() const = 0;
    virtual void setAutoMix(bool on) = 0;
    virtual void setAutoBpm(bool on) = 0;
    // Starts the mix into the other deck at once.
    virtual void mixNow() = 0;
    // True while a mix runs.
    virtual bool mixing() const = 0;
};
