#include "engine/sound/UnderrunReport.h"

#include "engine/sound/AudioDevice.h"

void UnderrunReport::watch(int card, const AudioDevice* device) {
    Card& c = cards_[card];
    c.counted = count(card);
    c.device = device;
    c.used = c.used || device != nullptr;
}

uint64_t UnderrunReport::count(int card) const {
    const Card& c = cards_[card];
    // A card opened again goes on from the count its previous device reached.
    return c.device != nullptr ? c.counted + c.device->underruns() : c.counted;
}

std::string UnderrunReport::poll(std::chrono::steady_clock::time_point now) {
    if (warned_ && now - lastWarning_ < kPeriod) {
        return {};
    }
    std::string line;
    for (int i = 0; i < kMaxCards; ++i) {
        Card& c = cards_[i];
        const uint64_t total = count(i);
        if (total == c.reported) {
            continue;
        }
        line += line.empty() ? "spinora: the sound ran dry: " : ", ";
        line += "card " + std::to_string(i + 1) + " " + std::to_string(total - c.reported) +
                " times (" + std::to_string(total) + " this run)";
        c.reported = total;
    }
    if (!line.empty()) {
        warned_ = true;
        lastWarning_ = now;
    }
    return line;
}

std::string UnderrunReport::totals() const {
    std::string line;
    uint64_t all = 0;
    for (int i = 0; i < kMaxCards; ++i) {
        if (!cards_[i].used) {
            continue;
        }
        const uint64_t total = count(i);
        all += total;
        line += (line.empty() ? "card " : ", card ") + std::to_string(i + 1) + " " +
                std::to_string(total);
    }
    return all == 0 ? std::string() : "spinora: underruns this run: " + line;
}
