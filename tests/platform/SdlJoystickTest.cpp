// A virtual stick plugged in before the start: its moves and buttons reach the deck controls
// through the poll timer, as a real one's would.
#include <SDL.h>
#include <gtest/gtest.h>

#include "AppHarness.h"
#include "core/SharedValue.h"

namespace {

// Owns the joystick subsystem for its life, so the device outlives the program's own use of it.
class VirtualStick {
  public:
    VirtualStick() {
        SDL_InitSubSystem(SDL_INIT_JOYSTICK);
        index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 4, 0);
        stick_ = index_ >= 0 ? SDL_JoystickOpen(index_) : nullptr;
    }
    ~VirtualStick() {
        if (stick_ != nullptr) {
            SDL_JoystickClose(stick_);
            SDL_JoystickDetachVirtual(index_);
        }
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }
    bool attached() const { return stick_ != nullptr; }
    void move(Sint16 x, Sint16 y) {
        SDL_JoystickSetVirtualAxis(stick_, 0, x);
        SDL_JoystickSetVirtualAxis(stick_, 1, y);
    }
    void button(int index, bool down) { SDL_JoystickSetVirtualButton(stick_, index, down ? 1 : 0); }

  private:
    int index_ = -1;
    SDL_Joystick* stick_ = nullptr;
};

using Volumes = std::array<int, 2>;

TEST(SdlJoystickTest, TheStickMixesOnlyWithButtonOneAndButtonTwoSyncs) {
    VirtualStick stick;
    ASSERT_TRUE(stick.attached()) << SDL_GetError();
    AppHarness h;
    ASSERT_TRUE(h.started);
    ASSERT_TRUE(h.app->deckUi().joystickEnabled);
    const auto settles = [&](const std::function<bool()>& done) {
        return QTest::qWaitFor(done, 5000);
    };

    // Without the button the pad's ring follows the stick but the volumes stay.
    stick.move(-32768, 0);  // left: deck 0 alone
    ASSERT_TRUE(settles([&] { return h.app->deckUi().joystickVolume == Volumes{256, 0}; }));
    EXPECT_EQ(h.app->deckUi().deckVolume, (Volumes{256, 256}));

    stick.button(0, true);
    stick.move(32767, 0);  // right: deck 1 alone
    ASSERT_TRUE(settles([&] { return h.app->deckUi().deckVolume == Volumes{0, 256}; }));

    // Button 2 pressed while button 1 is held syncs the selected deck to the other.
    h.deck(0).requestLoad("/m/a.mp3");
    h.deck(1).requestLoad("/m/b.mp3");
    h.serve();
    storeShared(h.deck(0).record().bpm, 120.0f);
    storeShared(h.deck(0).record().bpmVotes, kLockedBpmVotes);
    storeShared(h.deck(1).record().bpm, 126.0f);
    storeShared(h.deck(1).record().bpmVotes, kLockedBpmVotes);
    h.app->controls().selectDeck(1);
    stick.button(1, true);
    EXPECT_TRUE(settles([&] {
        h.serve();
        return h.deck(1).pitch() == 3900;
    }));
    EXPECT_EQ(h.deck(0).pitch(), Deck::kUnityPitch);
}

}  // namespace
