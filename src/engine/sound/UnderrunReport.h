#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

class AudioDevice;

// What the user is told of the cards running dry: a warning line when a card counted underruns
// since the last line, at most one a second, and the totals of the run. Main thread only; the
// counts are read from the cards, which count them on their own threads.
class UnderrunReport {
  public:
    static constexpr int kMaxCards = 2;
    static constexpr std::chrono::seconds kPeriod{1};

    // The card-th card (0 or 1) from now on; null when it closes, keeping its count so far.
    void watch(int card, const AudioDevice* device);

    // A warning line when a card ran dry since the last one and the last was at least a period
    // before now; empty otherwise.
    std::string poll(std::chrono::steady_clock::time_point now);

    // "underruns this run: ..." with the count of each card used, or empty when none ran dry.
    std::string totals() const;

  private:
    struct Card {
        const AudioDevice* device = nullptr;
        uint64_t counted = 0;   // up to the last look at the device
        uint64_t reported = 0;  // up to the last warning line
        bool used = false;      // watched at some time in the run
    };
    uint64_t count(int card) const;

    std::array<Card, kMaxCards> cards_{};
    bool warned_ = false;
    std::chrono::steady_clock::time_point lastWarning_{};
};
