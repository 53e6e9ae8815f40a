#pragma once

#include <QRect>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <system_error>

#include "app/MainWindow.h"
#include "engine/deck/BackgroundAnalyser.h"
#include "engine/deck/EngineState.h"
#include "engine/deck/SoundSystem.h"
#include "engine/library/BrowserItem.h"
#include "engine/library/TrackRecords.h"
#include "engine/settings/Settings.h"
#include "ui/Timers.h"
#include "ui/browser/AutoMixSwitches.h"
#include "ui/browser/BrowserPages.h"
#include "ui/browser/CommandSink.h"
#include "ui/browser/PageDisplay.h"
#include "ui/browser/RowDragging.h"
#include "ui/browser/SaveFailures.h"
#include "ui/browser/TrackLoading.h"
#include "ui/deck/DeckUiState.h"
#include "ui/display/Skin.h"

class AnalysisFeed;
class TagFeed;
class AutoMixer;
class Browser;
class DeckArea;
class DeckCommands;
class DeckControls;
class DeckEventQueue;
class DeckUiPorts;
class Dialogs;
class InstanceServer;
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
    // The priority of the background analysis, or none (tests that count decoders): tests that
    // share a busy machine give it a fair share.
    std::optional<BackgroundAnalyser::Priority> backgroundAnalysis{
        BackgroundAnalyser::Priority::kIdle};
};

// The wiring behind the main window: it runs the start-up and shutdown in their order, routes
// every window message and timer, and owns the decks' sound, the screen, the skin, the browser and
// the deck user interface. It is the browser's way to the decks, the automatic mix, the track info
// store and the window.
class Application : public MainWindow::Host,
                    public TrackLoading,
                    public AutoMixSwitches,
                    public TrackRecords,
                    public PageDisplay,
                    public CommandSink,
                    public RowDragging,
                    public SaveFailures,
                    public Timers {
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
    // The window's side: routes one message and returns the window procedure's result.
    bool ready() const override { return deckUi_ != nullptr; }
    long dispatch(int message, unsigned long wParam = 0, long lParam = 0) override;
    void paint(QPainter& painter, const QRect& invalid) override;
    QString toolTipAt(QPoint at) const override;
    void dropFiles(QPoint at, const std::vector<std::string>& paths) override;

    const char* startupError() const { return startupError_; }
    // After a successful start: takes the requests of later starts at the socket (the window
    // comes to the front, their files go onto the free decks). Says on standard error when it
    // cannot.
    void listenForOtherStarts(const std::filesystem::path& socket);

    Deck& deck(int index) { return *engine_.decks[index]; }
    void startTimer(int id, int milliseconds) override;
    void killTimer(int id) override;
    bool timerActive(int id) const;
    // Says that a file could not be saved: on standard error, and in a message box.
    void saveFailed(const QString& text) override;

    // The browser's ports: main thread only.
    int workingDeck() const override { return deckUiState_.selectedDeck; }
    bool deckIsFree(int deck) const override;
    void loadOntoDeck(int deck, const BrowserItem& item) override;
    bool autoMixOn() const override { return engine_.autoMixEnabled != 0; }
    void setAutoMix(bool on) override { engine_.autoMixEnabled = on ? 1 : 0; }
    void setAutoBpm(bool on) override { engine_.autoBpmEnabled = on ? 1 : 0; }
    void mixNow() override;
    bool mixing() const override { return deckUiState_.autoMixTimer != 0; }
    bool lookupTrack(std::string_view path, int32_t sizeKey, TrackInfoRecord& out) const override;
    void leavingPage(int page) override;
    void pageShown(int page) override;
    void sendCommand(int id, int code) override;
    void beginRowDrag(int rows) override;

    // The parts it wires, for the entry point and the tests.
    Screen* screen() { return screen_.get(); }
    Browser& browser() { return *browser_; }
    DeckArea& deckArea();
    // The deck actions; input() routes the keys, the pointer and the joystick to them.
    DeckCommands& controls();
    DeckControls& input();
    TrackLoader& loader();
    AutoMixer& autoMix();
    // Null when the environment asked for no background analysis.
    AnalysisFeed* analysisFeed() { return analysisFeed_.get(); }
    SoundSystem& sound() { return *sound_; }
    TrackInfoStore& store() { return *store_; }
    DeckEventQueue& deckEvents() { return *deckEvents_; }
    EngineState& engine() { return engine_; }
    Settings& settings() { return settings_; }
    DeckUiState& deckUi() { return deckUiState_; }

  private:
    void activate(bool nowActive);
    bool fullScreen() const;
    bool closeAsked();
    void command(int id, int code);
    void timerFired(int id);
    void beatHeights(int16_t* other, int16_t* selected);
    void storeSaved(std::error_code error);
    void openFromOtherStart(const std::vector<std::string>& files);
    // A line of its own on standard error; nothing when empty.
    static void sayLine(const std::string& line);

    AudioBackend& audio_;
    SettingsFile& settingsFile_;
    Dialogs& dialogs_;
    SoundSystem::DecoderFactory makeDecoder_;
    bool forceWindowed_;
    std::chrono::milliseconds storeSaveDelay_;
    std::optional<BackgroundAnalyser::Priority> backgroundAnalysis_;
    bool storeFailing_ = false;  // said once, until a save succeeds again
    const char* startupError_ = nullptr;
    MainWindow* window_ = nullptr;
    bool shutDown_ = false;
    std::map<int, std::unique_ptr<QTimer>> timers_;

    EngineState engine_;
    Settings settings_;
    Skin skin_;
    DeckUiState deckUiState_;

    std::unique_ptr<DeckEventQueue> deckEvents_;
    std::unique_ptr<Screen> screen_;
    std::unique_ptr<TrackInfoStore> store_;
    std::unique_ptr<QObject> storeReports_;  // carries the saver's results to the main thread
    std::unique_ptr<StoreSaver> storeSaver_;
    std::unique_ptr<SoundSystem> sound_;
    std::unique_ptr<Browser> browser_;
    std::unique_ptr<DeckUiPorts> deckUi_;
    std::unique_ptr<AnalysisFeed> analysisFeed_;
    std::unique_ptr<TagFeed> tagFeed_;
    std::unique_ptr<SdlJoystick> joystick_;
    std::unique_ptr<InstanceServer> otherStarts_;
};
