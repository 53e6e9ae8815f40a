#include "engine/panel/ControlTips.h"

#include "engine/panel/ControlGeometry.h"

namespace {

const char* const kTabTips[6] = {"Mixing (F1)",  "Files (F2)",  "Auto Mix (F3)",
                                 "History (F4)", "Search (F5)", "Help (F6)"};

std::string deckTip(const DeckControlMap& deck, const std::string& name, int x, int y) {
    const std::pair<const Circle&, const char*> buttons[] = {
        {deck.select, "Select deck "},
        {deck.mem, "Set the cue point here (M)"},
        {deck.stop, "Cue: stop and go back to the cue point (S)"},
        {deck.pause, "Pause (P)"},
        {deck.play, "Play (Space)"},
        {deck.skip, "Jump one beat and realign (N)"},
        {deck.sync, "Match the other deck's tempo and align the beats (Enter)"},
    };
    for (const auto& [circle, tip] : buttons) {
        if (circle.contains(x, y)) {
            return &circle == &deck.select ? tip + name : tip;
        }
    }
    if (deck.bpmAdopt.contains(x, y)) {
        return "Make the current BPM the track's tempo";
    }
    if (deck.pitchReset.contains(x, y)) {
        return "Pitch back to 0 %";
    }
    return {};
}

}  // namespace

std::string controlTipAt(int x, int y) {
    if (const int tab = pageTabAt(x, y); tab >= 0) {
        return kTabTips[tab];
    }
    switch (windowButtonAt(x, y)) {
        case WindowButton::kMinimise:
            return "Minimise";
        case WindowButton::kClose:
            return "Quit";
        case WindowButton::kNone:
            break;
    }
    for (int d = 0; d < 2; ++d) {
        if (std::string tip = deckTip(kDeckControls[d], d == 0 ? "A" : "B", x, y); !tip.empty()) {
            return tip;
        }
    }
    return {};
}
