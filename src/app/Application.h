#pragma once

#include <QCursor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QTimer>
#include <array>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <system_error>

#include "engine/deck/EngineState.h"
#include "engine/deck/SoundSystem.h"
#include "engine/library/BrowserItem.h"
#include "engine/library/TrackRecords.h"
#include "engine/settings/Settings.h"
#include "ui/browser/AutoMixSwitches.h"
#include "ui/browser/BrowserPages.h"
#include "ui/browser/CommandSink.h"
#include "ui/browser/PageDisplay.h"
#include "ui/browser/RowDragging.h"
#include "ui/browser/SaveFailures.h"
#include "ui/browser/TrackLoading.h"
#include "ui/display/Skin.h"

class AutoMixer;
class Browser;
class DeckActions;
class DeckArea;
class DeckCommands;
class DeckControls;
class DeckEventQueue;
class DeckUiPorts;
class Dialogs;
class MainWindow;
class QPainter;
class Screen;
class SdlJoystick;
class SettingsFile;
class StoreSaver;
class TrackInfoStore;
class TrackLoader;

// What the Application is started with.
struct AppEnvironment {
    AudioBackend& audio;
    SettingsFile& settingsFile;
    Dialogs& dialogs;
    SoundSystem::DecoderFactory makeDecoder;
    bool forceWindowed = false;
    // How long the track info store stays unchanged before it is saved during the session.
    std::chrono::milliseconds storeSaveDelay{3000};
};

// The one object behind the main window: it runs the start-up and shutdown in their order, routes
// every window message and timer, and owns the decks' sound, the screen, the skin, the browser and
// the state of the deck user interface. It is the browser's way to the decks, the automatic mix,
// the track info store and the window.
class Application : public TrackLoading,
                    public AutoMixSwitches,
                    public TrackRecords,
                    public PageDisplay,
                    public CommandSink,
                    public RowDragging,
                    public SaveFailures {
  public:
    using enum BrowserPage;

    explicit Application(AppEnvironment environment);
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The window's creation: 0, or -1 with the start-up error set.
    int initialise(MainWindow& window);
    // The window's destruction, in the reverse order; safe after a failed start.
    void shutdown();
    // Routes one message; returns the window procedure's result.
    long dispatch(int message, unsigned long wParam = 0, long lParam = 0);
    void paint(QPainter& painter, const QRect& invalid);

    const char* startupError() const { return startupError_; }

    // Services for the deck user interface and the browser.
    Deck& deck(int index) { return *engine.decks[index]; }
    bool ready() const { return deckArea_ != nullptr; }
    void startTimer(int id, int milliseconds);
    void killTimer(int id);
    bool timerActive(int id) const;
    // Repaints a rectangle of the window (screen coordinates).
    void invalidate(const QRect& rect);
    void showCursor(const QCursor& cursor);
    // Says that a file could not be saved: on standard error, and in a message box.
    void saveFailed(const QString& text) override;

    // The browser's ports: main thread only.
    int workingDeck() const override { return selectedDeck; }
    bool deckIsFree(int deck) const override;
    void loadOntoDeck(int deck, const BrowserItem& item) override;
    bool autoMixOn() const override { return engine.autoMixEnabled != 0; }
    void setAutoMix(bool on) override { engine.autoMixEnabled = on ? 1 : 0; }
    void setAutoBpm(bool on) override { engine.autoBpmEnabled = on ? 1 : 0; }
    void mixNow() override;
    bool mixing() const override { return autoMixTimer != 0; }
    bool lookupTrack(std::string_view path, int32_t sizeKey, TrackInfoRecord& out) const override;
    void leavingPage(int page) override;
    void pageShown(int page) override;
    void sendCommand(int id, int code) override;
    void beginRowDrag(int rows) override;
    MainWindow* window() { return window_; }
    Dialogs& dialogs() { return dialogs_; }
    Screen* screen() { return screen_.get(); }
    Browser& browser() { return *browser_; }
    DeckArea& deckArea() { return *deckArea_; }
    // The deck actions; input() routes the keys, the pointer and the joystick to them.
    DeckCommands& controls();
    DeckControls& input() { return *controls_; }
    TrackLoader& loader() { return *loader_; }
    AutoMixer& autoMix() { return *autoMix_; }
    SoundSystem& sound() { return *sound_; }
    TrackInfoStore& store() { return *store_; }
    DeckEventQueue& deckEvents() { return *deckEvents_; }

    EngineState engine;
    Settings settings;
    Skin skin;
    QImage backBuffer;  // rows 0 to 299: the deck area
    QFont smallFont, mediumFont, largeFont;

    // The state of the deck user interface.
    std::atomic<int> selectedDeck{0};  // the refresh thread reads it too
    int browserPage = 0;
    bool active = false;
    std::array<std::unique_ptr<BrowserItem>, 2> lastLoadedItem;
    std::array<int, 2> historyTimer{0, 0};
    std::optional<QCursor> savedCursor;
    int autoMixTimer = 0;
    std::array<int, 2> deckVolume{256, 256};
    int cueLevel = 256;
    bool textEntryActive = false;
    bool joystickEnabled = false;
    std::array<int, 2> joystickMin{0, 0};
    std::array<int, 2> joystickRange{1, 1};
    std::array<int, 2> joystickVolume{128, 128};

  private:
    void activate(bool nowActive);
    bool fullScreen() const;
    bool closeAsked();
    void command(int id, int code);
    void timerFired(int id);
    void beatHeights(int16_t* other, int16_t* selected);
    void storeSaved(std::error_code error);
    // A line of its own on standard error; nothing when empty.
    static void sayLine(const std::string& line);

    AudioBackend& audio_;
    SettingsFile& settingsFile_;
    Dialogs& dialogs_;
    SoundSystem::DecoderFactory makeDecoder_;
    bool forceWindowed_;
    std::chrono::milliseconds storeSaveDelay_;
    bool storeFailing_ = false;  // said once, until a save succeeds again
    const char* startupError_ = nullptr;
    MainWindow* window_ = nullptr;
    bool shutDown_ = false;
    std::map<int, std::unique_ptr<QTimer>> timers_;

    std::unique_ptr<DeckEventQueue> deckEvents_;
    std::unique_ptr<Screen> screen_;
    std::unique_ptr<TrackInfoStore> store_;
    std::unique_ptr<QObject> storeReports_;  // carries the saver's results to the main thread
    std::unique_ptr<StoreSaver> storeSaver_;
    std::unique_ptr<SoundSystem> sound_;
    std::unique_ptr<Browser> browser_;
    std::unique_ptr<DeckUiPorts> ports_;
    std::unique_ptr<DeckArea> deckArea_;
    std::unique_ptr<DeckActions> actions_;
    std::unique_ptr<DeckControls> controls_;
    std::unique_ptr<TrackLoader> loader_;
    std::unique_ptr<AutoMixer> autoMix_;
    std::unique_ptr<SdlJoystick> joystick_;
};
