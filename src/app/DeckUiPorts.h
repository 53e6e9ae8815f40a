#pragma once

#include <memory>

#include "engine/mix/AutoMixLogic.h"
#include "engine/mix/DeckActions.h"
#include "ui/deck/DeckArea.h"
#include "ui/deck/DeckControls.h"

class Application;
class BpmMenu;

// The deck user interface's view of the application: the deck actions, the controls, the deck
// area and the automatic mix each see only their own narrow port, answered here from the
// application's state. Main thread.
class DeckUiPorts final : public DeckActions::Host,
                          public DeckControls::Host,
                          public DeckArea::Host,
                          public AutoMixLogic::Port {
  public:
    explicit DeckUiPorts(Application& app);
    ~DeckUiPorts() override;
    DeckUiPorts(const DeckUiPorts&) = delete;
    DeckUiPorts& operator=(const DeckUiPorts&) = delete;

    Deck& deck(int index) override;
    int currentDeck() const override;
    VolumePair deckVolumes() const override;
    void invalidate(const QRect& rect) override;

    // The deck actions.
    int cueVolume() const override;
    void deckSelected(int deck) override;
    void pitchChanged(int deck, int pitch) override;
    void pageChosen(int page) override;
    void volumesChanged(int deck0, int deck1) override;
    void stopMix() override;

    // The controls.
    bool onMixingPage() const override;
    bool typing() const override;
    void stopTyping() override;
    void search() override;
    void deleteSelectedRows() override;
    bool draggingRows() const override;
    void showDragCursor(int x, int y) override;
    void dropRows(int x, int y) override;
    void flashButton(int index) override;
    void showBpmMenu(int deck, int x, int y) override;
    void releaseButton() override;
    bool buttonFlashed() const override;
    void drawMixPad() override;
    void minimiseWindow() override;
    void closeWindow() override;
    void showNudgeCursor() override;
    void showArrowCursor() override;
    bool joystickOpen() const override;
    VolumePair joystickMix(int x, int y) const override;
    bool moveJoystickRing(VolumePair volumes) override;

    // The deck area.
    bool windowActive() const override;
    bool pitchRedrawAsked() const override;
    void pitchRedrawn() override;
    int deckStatus(int deck) const override;
    const BrowserItem* loadedItem(int deck) const override;
    std::optional<VolumePair> joystickRing() const override;

    // The automatic mix.
    bool playing(int deck) const override;
    bool playable(int deck) const override;
    bool pitchFromUser(int deck) const override;
    void play(int deck) override;
    void stop(int deck) override;
    void setVolume(int deck, int volume) override;
    bool shortMix() const override;
    bool autoBpmOn() const override;
    bool autoMixOn() const override;
    bool loadNextFromPlaylist(int deck) override;
    void mixRunning(bool running) override;

  private:
    Application& app_;
    std::unique_ptr<BpmMenu> bpmMenu_;  // made when first shown
};
