#pragma once

#include <QFont>
#include <QImage>
#include <functional>
#include <memory>

#include "engine/library/TrackItems.h"
#include "engine/mix/DeckActions.h"
#include "engine/mix/DecksPort.h"
#include "ui/deck/DeckArea.h"
#include "ui/deck/DeckControls.h"

class AutoMixer;
class BpmMenu;
class Browser;
class Dialogs;
class QWidget;
class Skin;
class Timers;
class TrackLoader;
struct DeckUiState;
struct EngineState;

// The deck user interface: the deck area, the deck actions, the controls, the track loader and
// the automatic mix, each given only its own narrow port, answered here from the deck interface's
// state, the engine's and the browser's. Main thread.
class DeckUiPorts final : public DeckActions::Host,
                          public DeckControls::Host,
                          public DeckArea::Host,
                          public DecksPort {
  public:
    struct Parts {
        EngineState& engine;
        DeckUiState& state;
        Timers& timers;
        QWidget& window;
        const Skin& skin;
        Browser& browser;
        Dialogs& dialogs;
        std::function<void(const BrowserItem&)> trackLoaded;  // see TrackLoader
    };

    explicit DeckUiPorts(Parts parts);
    ~DeckUiPorts() override;
    DeckUiPorts(const DeckUiPorts&) = delete;
    DeckUiPorts& operator=(const DeckUiPorts&) = delete;

    DeckArea& deckArea() { return *deckArea_; }
    DeckCommands& commands() { return *actions_; }
    DeckControls& controls() { return *controls_; }
    TrackLoader& loader() { return *loader_; }
    AutoMixer& autoMix() { return *autoMix_; }
    // The decks' titles show the names their tracks' tags give, when known.
    void nameLoadedTracks(const TagLookup& tagsOf);
    // Rows 0 to 299: the deck area.
    const QImage& backBuffer() const { return backBuffer_; }

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
    const Deck& mixDeck(int deck) const override;
    void play(int deck) override;
    void stop(int deck) override;
    void setVolume(int deck, int volume) override;
    bool shortMix() const override;
    bool autoBpmOn() const override;
    bool autoMixOn() const override;
    bool loadNextFromPlaylist(int deck) override;
    bool returnUnplayableRow(int deck) override;
    void mixRunning(bool running) override;

  private:
    Parts parts_;
    QImage backBuffer_;
    QFont smallFont_, mediumFont_, largeFont_;
    std::unique_ptr<DeckArea> deckArea_;
    std::unique_ptr<DeckActions> actions_;
    std::unique_ptr<DeckControls> controls_;
    std::unique_ptr<TrackLoader> loader_;
    std::unique_ptr<AutoMixer> autoMix_;
    std::unique_ptr<BpmMenu> bpmMenu_;  // made when first shown
};
