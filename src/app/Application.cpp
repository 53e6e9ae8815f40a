#include "app/Application.h"

#include <QCoreApplication>
#include <QPainter>
#include <cstdio>

#include "app/AnalysisFeed.h"
#include "app/TagFeed.h"
#include "core/AtomicFile.h"
#include "core/Messages.h"
#include "engine/beat/BeatPhase.h"
#include "engine/deck/StoreSaver.h"
#include "engine/deck/TrackInfoStore.h"
#include "engine/panel/ControlTips.h"
#include "platform/DeckEventQueue.h"
#include "platform/InstanceChannel.h"
#include "platform/Mpg123TagReader.h"
#include "platform/SdlJoystick.h"
#include "ui/Dialogs.h"
#include "ui/browser/Browser.h"
#include "ui/deck/AutoMixer.h"
#include "ui/deck/DeckArea.h"
#include "ui/deck/DeckControls.h"
#include "ui/deck/DeckUiPorts.h"
#include "ui/deck/TrackLoader.h"
#include "ui/display/BeatView.h"
#include "ui/display/Screen.h"

namespace {

constexpr QRect kBrowserRect(32, 46, 735, 243);
constexpr int kPanelPeriod = 100;

}  // namespace

Application::Application(AppEnvironment environment)
    : audio_(environment.audio),
      settingsFile_(environment.settingsFile),
      dialogs_(environment.dialogs),
      makeDecoder_(std::move(environment.makeDecoder)),
      forceWindowed_(environment.forceWindowed),
      storeSaveDelay_(environment.storeSaveDelay),
      backgroundAnalysis_(environment.backgroundAnalysis) {
    for (const int id :
         {timer::kAutoMix, timer::kHistoryDeck0, timer::kHistoryDeck1, timer::kPanels}) {
        auto& qtimer = timers_[id];
        qtimer = std::make_unique<QTimer>();
        QObject::connect(qtimer.get(), &QTimer::timeout,
                         [this, id] { dispatch(msg::kTimer, static_cast<unsigned long>(id)); });
    }
    deckEvents_ = std::make_unique<DeckEventQueue>(
        [this](int message, int deck) { dispatch(message, static_cast<unsigned long>(deck)); });
    engine_.events = deckEvents_.get();
    browser_ = std::make_unique<Browser>(Browser::Ports{.settings = settings_,
                                                        .display = *this,
                                                        .dragging = *this,
                                                        .commands = *this,
                                                        .loading = *this,
                                                        .autoMix = *this,
                                                        .dialogs = dialogs_,
                                                        .failures = *this,
                                                        .records = *this});
}

Application::~Application() {
    shutdown();
}

int Application::initialise(MainWindow& window) {
    window_ = &window;
    startupError_ = readSettings(settingsFile_, settings_);
    if (startupError_ == nullptr) {
        const auto heights = [this](int16_t* other, int16_t* selected) {
            beatHeights(other, selected);
        };
        const auto frameReady = [&window] { window.requestBeatViewPaint(); };
        if (settings_.useDirectDraw && !forceWindowed_) {
            screen_ = std::make_unique<FullScreen>(window, heights, frameReady);
        } else {
            screen_ = std::make_unique<WindowScreen>(heights, frameReady);
        }
        startupError_ = screen_->error();
    }
    if (startupError_ == nullptr) {
        window.showSplash(Skin::splash(), fullScreen());
    }
    if (startupError_ == nullptr) {
        engine_.optimizedDetection = settings_.optimizedBeatDetection;
        engine_.useDirectSound = settings_.useDirectSound;
        store_ = std::make_unique<TrackInfoStore>(
            storePathInWorkingDirectory(), settings_.optimizedBeatDetection, todayDateStamp());
        removeLeftoverTemporaries(store_->file());
        store_->load();
        engine_.store = store_.get();
        storeReports_ = std::make_unique<QObject>();
        storeSaver_ =
            std::make_unique<StoreSaver>(*store_, storeSaveDelay_, [this](std::error_code error) {
                QMetaObject::invokeMethod(
                    storeReports_.get(), [this, error] { storeSaved(error); },
                    Qt::QueuedConnection);
            });
        sound_ = std::make_unique<SoundSystem>(audio_, engine_, makeDecoder_);
        startupError_ = sound_->openSound(settings_);
    }
    if (startupError_ == nullptr) {
        startupError_ = skin_.load();
    }
    if (startupError_ == nullptr) {
        deckUi_ = std::make_unique<DeckUiPorts>(
            DeckUiPorts::Parts{.engine = engine_,
                               .state = deckUiState_,
                               .timers = *this,
                               .window = window,
                               .skin = skin_,
                               .browser = *browser_,
                               .dialogs = dialogs_,
                               .trackLoaded = [this](const BrowserItem& item) {
                                   if (analysisFeed_) {
                                       analysisFeed_->trackLoaded(item);
                                   }
                                   if (tagFeed_) {
                                       tagFeed_->trackLoaded(item);
                                   }
                               }});
        startupError_ = browser_->create(window);
    }
    if (startupError_ == nullptr) {
        tagFeed_ =
            std::make_unique<TagFeed>(*browser_, *deckUi_, std::make_unique<Mpg123TagReader>());
        if (backgroundAnalysis_) {
            analysisFeed_ = std::make_unique<AnalysisFeed>(*browser_, engine_.decks, *store_,
                                                           settings_.optimizedBeatDetection,
                                                           makeDecoder_, *backgroundAnalysis_);
        }
        joystick_ = std::make_unique<SdlJoystick>(
            [this](int message, unsigned long buttons, long position) {
                dispatch(message, buttons, position);
            });
        if (joystick_->open()) {
            deckUiState_.joystickMin = {0, 0};
            deckUiState_.joystickRange = {65535, 65535};
            deckUiState_.joystickEnabled = true;
        }
        window.hideSplash();
        controls().showBrowserPage(kFilesPage);
        controls().selectDeck(0);
        startTimer(timer::kPanels, kPanelPeriod);
    }
    return startupError_ == nullptr ? 0 : -1;
}

void Application::shutdown() {
    if (window_ == nullptr || shutDown_) {
        return;
    }
    shutDown_ = true;
    otherStarts_.reset();
    analysisFeed_.reset();
    tagFeed_.reset();
    for (auto& [id, qtimer] : timers_) {
        qtimer->stop();
    }
    if (deckUi_) {
        autoMix().stop();
    }
    joystick_.reset();
    deckUiState_.joystickEnabled = false;
    if (browser_ && deckUi_) {
        browser_->destroy();
    }
    deckUi_.reset();
    screen_.reset();
    if (sound_) {
        sound_->closeSound();
        sayLine(sound_->underrunTotals());
        sound_.reset();
    }
    if (store_) {
        storeSaver_.reset();
        storeReports_.reset();
        std::error_code error;
        store_->save(&error);
        storeSaved(error);
        store_.reset();
        engine_.store = nullptr;
    }
    if (!writeSettings(settingsFile_, settings_, true)) {  // the band container is always there
        saveFailed(QStringLiteral("The settings could not be saved."));
    }
}

void Application::storeSaved(std::error_code error) {
    if (error && !storeFailing_) {
        saveFailed(QStringLiteral("The track info store %1 could not be saved: %2.")
                       .arg(QString::fromStdString(store_->file().string()),
                            QString::fromStdString(error.message())));
    }
    storeFailing_ = static_cast<bool>(error);
}

void Application::sayLine(const std::string& line) {
    if (!line.empty()) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
}

void Application::saveFailed(const QString& text) {
    std::fprintf(stderr, "spinora: %s\n", qPrintable(text));
    dialogs_.error(text);
}

DeckArea& Application::deckArea() {
    return deckUi_->deckArea();
}

DeckCommands& Application::controls() {
    return deckUi_->commands();
}

DeckControls& Application::input() {
    return deckUi_->controls();
}

TrackLoader& Application::loader() {
    return deckUi_->loader();
}

AutoMixer& Application::autoMix() {
    return deckUi_->autoMix();
}

void Application::startTimer(int id, int milliseconds) {
    timers_.at(id)->start(milliseconds);
}

void Application::killTimer(int id) {
    timers_.at(id)->stop();
}

bool Application::timerActive(int id) const {
    return timers_.at(id)->isActive();
}

void Application::beatHeights(int16_t* other, int16_t* selected) {
    const int chosen = deckUiState_.selectedDeck.load();
    onsetStrip(engine_.decks[1 - chosen]->beatView(), other);
    onsetStrip(engine_.decks[chosen]->beatView(), selected);
}

bool Application::deckIsFree(int deck) const {
    return engine_.decks[deck]->isFree();
}

void Application::loadOntoDeck(int deck, const BrowserItem& item) {
    loader().loadTrack(deck, item);
}

void Application::mixNow() {
    autoMix().mixNow();
}

void Application::listenForOtherStarts(const std::filesystem::path& socket) {
    otherStarts_ = std::make_unique<InstanceServer>(
        [this](const std::vector<std::string>& files) { openFromOtherStart(files); });
    if (const std::string problem = otherStarts_->listen(socket); !problem.empty()) {
        otherStarts_.reset();
        sayLine("spinora: a second start cannot reach this one: " + problem);
    }
}

void Application::openFromOtherStart(const std::vector<std::string>& files) {
    QWidget* top = window_->window();
    top->setWindowState(top->windowState() & ~Qt::WindowMinimized);
    top->show();
    top->raise();
    top->activateWindow();
    if (!files.empty()) {
        loader().openFiles(files);
    }
}

void Application::dropFiles(QPoint at, const std::vector<std::string>& paths) {
    loader().dropFiles(at, paths);
}

bool Application::lookupTrack(std::string_view path, int32_t sizeKey, TrackInfoRecord& out) const {
    return store_->lookup(path, sizeKey, out);
}

void Application::leavingPage(int page) {
    if (page == kMixingPage && screen_ != nullptr) {
        screen_->pauseRefresh();  // no frame is drawn over the controls
    }
}

void Application::pageShown(int page) {
    if (screen_ != nullptr) {
        screen_->refreshState = page == kMixingPage && deckUiState_.active ? 1 : 0;
    }
    if (window_ != nullptr) {
        window_->update(kBrowserRect);
    }
}

void Application::sendCommand(int id, int code) {
    dispatch(msg::kCommand,
             (static_cast<unsigned long>(code) << 16) | static_cast<unsigned long>(id));
}

void Application::beginRowDrag(int rows) {
    loader().beginRowDrag(rows);
}

long Application::dispatch(int message, unsigned long wParam, long lParam) {
    const int x = msg::pointX(lParam);
    const int y = msg::pointY(lParam);
    const int deck = static_cast<int>(wParam);
    if (!ready()) {
        return 0;  // nothing is routed before the start-up is complete
    }
    switch (message) {
        case msg::kDestroy:
            shutdown();
            QCoreApplication::quit();
            return 0;
        case msg::kClose:
            return closeAsked() ? 1 : 0;
        case msg::kActivateApp:
            activate(wParam != 0);
            return 0;
        case msg::kCommand:
            command(static_cast<int>(wParam & 0xffff), static_cast<int>(wParam >> 16));
            return 0;
        case msg::kTimer:
            timerFired(static_cast<int>(wParam));
            return 0;
        case msg::kMouseMove:
            input().onPointerMove(x, y);
            return 0;
        case msg::kLeftButtonDown:
        case msg::kRightButtonDown:
            input().onButtonDown(message == msg::kLeftButtonDown, x, y);
            return 0;
        case msg::kLeftButtonUp:
        case msg::kRightButtonUp:
            input().onButtonUp(x, y);
            return 0;
        case msg::kJoystickMove:
            // Both joystick coordinates run from 0 to 65535: y is unsigned, unlike a pointer's.
            input().onJoystickMove(static_cast<int>(wParam), x,
                                   static_cast<int>((lParam >> 16) & 0xffff));
            return 0;
        case msg::kJoystickButtonDown:
            input().onJoystickButton(static_cast<int>(wParam));
            return 0;
        case msg::kMixInto:
            autoMix().startAutoMix(deck);
            return 0;
        case msg::kTrackEnded:
            autoMix().trackEnded(deck);
            return 0;
        case msg::kTrackLoaded:
            autoMix().trackLoaded(deck);
            return 0;
        case msg::kLoadFailed:
            loader().loadFailed(deck);  // before the auto mix loads the deck again
            autoMix().loadFailed(deck);
            return 0;
        default:
            return 0;
    }
}

bool Application::closeAsked() {
    if (!engine_.decks[0]->playing() && !engine_.decks[1]->playing()) {
        return true;
    }
    screen_->pauseRefresh();
    if (dialogs_.question(QStringLiteral(
            "The music is still running. Are you sure you want to quit the program ?"))) {
        return true;
    }
    controls().showBrowserPage(deckUiState_.browserPage);
    return false;
}

bool Application::fullScreen() const {
    return dynamic_cast<const FullScreen*>(screen_.get()) != nullptr;
}

void Application::activate(bool nowActive) {
    if (!nowActive && !fullScreen()) {
        return;  // a window stays on show and running beside the other programs
    }
    deckUiState_.active = nowActive;
    if (nowActive) {
        screen_->refreshState = deckUiState_.browserPage == kMixingPage ? 1 : 0;
        screen_->resume();
    } else {
        screen_->pauseRefresh();
        screen_->suspend();
        window_->minimiseLater();
    }
}

void Application::command(int id, int code) {
    if (code == 0) {
        browser_->command(id);
    } else if (code == msg::kEditGainedFocus) {
        deckUiState_.textEntryActive = true;
    } else if (code == msg::kEditLostFocus) {
        deckUiState_.textEntryActive = false;
    }
}

void Application::timerFired(int id) {
    switch (id) {
        case timer::kAutoMix:
            autoMix().onTimer();
            break;
        case timer::kHistoryDeck0:
        case timer::kHistoryDeck1:
            loader().historyDue(id - timer::kHistoryDeck0);
            break;
        case timer::kPanels:
            deckArea().periodicUpdate();
            sayLine(sound_->underrunWarning(std::chrono::steady_clock::now()));
            sound_->restDevices(std::chrono::steady_clock::now());
            break;
        default:
            break;
    }
}

QString Application::toolTipAt(QPoint at) const {
    return QString::fromStdString(controlTipAt(at.x(), at.y()));
}

void Application::paint(QPainter& painter, const QRect& invalid) {
    if (!ready()) {
        return;
    }
    const QRect upper = invalid.intersected(QRect(0, 0, 800, 300));
    if (!upper.isEmpty()) {
        painter.save();
        QRegion region(upper);
        if (upper.bottom() >= kBrowserRect.top()) {
            region -= kBrowserRect;  // the browser or the beat view lives there
        }
        painter.setClipRegion(region);
        painter.drawImage(upper.topLeft(), skin_.upper, upper);
        if (upper.top() < 50) {
            const QRect tab = DeckArea::tabRect(deckUiState_.browserPage);
            painter.drawImage(tab.topLeft(), skin_.pressedTabs, tab);
            const int flashed = deckArea().flashedButton();
            if (flashed >= 14 && flashed <= 15) {
                const QRect button = DeckArea::pressedRect(flashed).translated(0, 300);
                painter.drawImage(button.topLeft(), skin_.pressedTabs, button);
            }
        }
        painter.setClipRect(upper.intersected(kBrowserRect));
        if (deckUiState_.browserPage == kMixingPage) {
            screen_->drawBeatView(painter);
        } else {
            painter.fillRect(kBrowserRect, window_->palette().button());
        }
        painter.restore();
    }
    const QRect lower = invalid.intersected(QRect(0, 300, 800, 300));
    if (!lower.isEmpty()) {
        painter.drawImage(lower.topLeft(), deckUi_->backBuffer(), lower.translated(0, -300));
    }
}
