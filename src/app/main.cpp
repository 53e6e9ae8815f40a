// Spinora: program entry. One instance at a time, which a second start hands its files to; the
// command line names the files for deck 0 and deck 1; the start-up error, if any, is shown once
// the window is gone.
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QSocketNotifier>
#include <QStyleFactory>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/Application.h"
#include "app/MainWindow.h"
#include "core/Messages.h"
#include "platform/IniSettingsFile.h"
#include "platform/InstanceChannel.h"
#include "platform/InstanceLock.h"
#include "platform/Mpg123Decoder.h"
#include "platform/Paths.h"
#include "platform/SdlAudioBackend.h"
#include "ui/Dialogs.h"
#include "ui/KeyFilter.h"
#include "ui/browser/Browser.h"
#include "ui/deck/DeckControls.h"
#include "ui/deck/TrackLoader.h"
#include "ui/display/Screen.h"

namespace {

constexpr const char* kUsage =
    "Usage: spinora [--windowed] [FILE0 [FILE1]]\n"
    "A two-deck MP3 mixing program. Files given are loaded onto deck A and deck B. While Spinora\n"
    "runs, another start brings its window to the front, loads the files given onto its free\n"
    "decks (the rest go to the end of the playlist) and ends with status 255.\n"
    "\n"
    "  --windowed  show the window in a window for this run, not full screen\n"
    "  --help      show this help\n"
    "  --version   show the version\n";

constexpr const char* kEnvironment =
    "\n"
    "Environment:\n"
    "  SPINORA_HOME        the data folder (default $XDG_DATA_HOME/spinora)\n"
    "  XDG_DATA_HOME       where the data folder is made (default ~/.local/share)\n"
    "  XDG_CONFIG_HOME     where spinora/spinora.ini is kept (default ~/.config)\n"
    "  XDG_RUNTIME_DIR     where the single-instance lock and socket are (else TMPDIR)\n"
    "  TMPDIR              the temporary folder (default /tmp)\n"
    "  HOME                the home folder, offered with its Music folder in the browser\n"
    "  USER                names the media folders offered (/media/USER, /run/media/USER)\n"
    "  SPINORA_NO_DIALOGS  1: no message box; questions take their default answer\n"
    "  QT_SCALE_FACTOR     when set, full screen keeps the window at this scale\n"
    "  SDL_AUDIODRIVER     SDL's sound driver (dummy: silence; disk: to SDL_DISKAUDIOFILE)\n";

// The help, with the files where this run's environment puts them.
void printHelp() {
    std::fputs(kUsage, stdout);
    std::fputs(kEnvironment, stdout);
    const std::vector<std::filesystem::path> lockAt = lockFolders();
    std::printf(
        "\n"
        "Files:\n"
        "  settings            %s\n"
        "  data folder         %s (Spinora.idb, mp3DataBase.txt)\n"
        "  lock and socket     %s (spinora.lock, spinora.socket)%s\n",
        settingsFilePath().c_str(), dataFolder().c_str(), lockAt.front().c_str(),
        lockAt.size() > 1 ? (", else " + lockAt.back().string()).c_str() : "");
}

constexpr int kAnotherInstance = 255;
constexpr int kStartFailed = 1;
// How long a second start waits for the running one to take its files.
constexpr int kAskTimeoutMs = 3000;

struct CommandLine {
    bool windowed = false;
    std::vector<std::string> files;
};

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    (void)::write(signalPipe[1], &byte, 1);
}

// Spreads the 800 x 600 window over as much of the screen as fits, for a full-screen start.
void scaleToScreen(int& argc, char** argv) {
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
        return;
    }
    QSize screen;
    {
        QGuiApplication probe(argc, argv);
        screen = probe.primaryScreen()->size();
    }
    const double scale = fullScreenScale(screen);
    if (scale > 1.0) {
        qputenv("QT_SCALE_FACTOR", QByteArray::number(scale, 'f', 4));
    }
}

bool fullScreenChosen(bool windowed) {
    if (windowed) {
        return false;
    }
    IniSettingsFile file(QString::fromStdString(settingsFilePath().string()));
    Settings settings;
    readSettings(file, settings);
    return settings.useDirectDraw;
}

void useDarkLook(QApplication& app) {
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x1b, 0x1e, 0x24));
    palette.setColor(QPalette::WindowText, QColor(0xe6, 0xe9, 0xef));
    palette.setColor(QPalette::Base, QColor(0x12, 0x14, 0x18));
    palette.setColor(QPalette::AlternateBase, QColor(0x1b, 0x1e, 0x24));
    palette.setColor(QPalette::Text, QColor(0xe6, 0xe9, 0xef));
    palette.setColor(QPalette::Button, QColor(0x2b, 0x2f, 0x37));
    palette.setColor(QPalette::ButtonText, QColor(0xe6, 0xe9, 0xef));
    palette.setColor(QPalette::Highlight, QColor(0x2e, 0xc4, 0xff));
    palette.setColor(QPalette::HighlightedText, QColor(0x08, 0x0a, 0x0e));
    palette.setColor(QPalette::ToolTipBase, QColor(0x2b, 0x2f, 0x37));
    palette.setColor(QPalette::ToolTipText, QColor(0xe6, 0xe9, 0xef));
    app.setPalette(palette);
}

// Qt can only abort when it finds no display to start on: while the window starts, such an end
// is said and the start fails as any other, without a core dump.
QtMessageHandler qtMessages = nullptr;

void failWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        qtMessages(type, context, text);
        return;
    }
    std::fprintf(stderr, "spinora: the window cannot start: %s\n", qPrintable(text));
    std::_Exit(kStartFailed);
}

// A start that fails before the window exists: said on standard error and in a message box.
int failToStart(int& argc, char** argv, const std::string& message) {
    std::fprintf(stderr, "spinora: %s\n", message.c_str());
    QApplication app(argc, argv);
    MessageBoxDialogs().error(QString::fromStdString(message));
    return kStartFailed;
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine options;
    bool endOfOptions = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!endOfOptions && arg == "--") {
            endOfOptions = true;
        } else if (!endOfOptions && arg == "--help") {
            printHelp();
            return 0;
        } else if (!endOfOptions && arg == "--version") {
            std::puts("spinora " SPINORA_VERSION);
            return 0;
        } else if (!endOfOptions && arg == "--windowed") {
            options.windowed = true;
        } else if (!endOfOptions && arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "spinora: unknown option %s\n%s", arg.c_str(), kUsage);
            return 2;
        } else {
            options.files.push_back(std::filesystem::absolute(arg).string());
        }
    }

    qtMessages = qInstallMessageHandler(failWithoutDisplay);
    if (const std::string problem = enterDataFolder(); !problem.empty()) {
        return failToStart(argc, argv, problem);
    }
    InstanceLock lock;
    if (!lock.tryLock()) {
        if (lock.heldElsewhere()) {
            askRunningInstance(lock.socket(), options.files, kAskTimeoutMs);
            return kAnotherInstance;
        }
        return failToStart(argc, argv, "Spinora cannot start: " + lock.failure() + ".");
    }
    if (fullScreenChosen(options.windowed)) {
        scaleToScreen(argc, argv);
    }

    QApplication app(argc, argv);
    qInstallMessageHandler(qtMessages);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.spinora.Spinora"));
    useDarkLook(app);
    SdlAudioBackend audio;
    IniSettingsFile settingsFile(QString::fromStdString(settingsFilePath().string()));
    MessageBoxDialogs dialogs;
    Application application({audio, settingsFile, dialogs, makeMpg123Decoder, options.windowed});
    MainWindow window(application);
    dialogs.setParent(&window);
    KeyFilter keys(window, [&application](int key) {
        return application.ready() && application.input().onKeyDown(key);
    });
    app.installEventFilter(&keys);

    if (application.initialise(window) != 0) {
        const QString message = QString::fromLatin1(application.startupError());
        window.window()->hide();  // with the black stage of a full screen
        application.shutdown();
        std::fprintf(stderr, "spinora: %s\n", qPrintable(message));
        dialogs.setParent(nullptr);
        dialogs.error(message);
        return kStartFailed;
    }
    QObject::connect(&app, &QGuiApplication::applicationStateChanged,
                     [&application](Qt::ApplicationState state) {
                         application.dispatch(msg::kActivateApp,
                                              state == Qt::ApplicationActive ? 1 : 0);
                     });
    window.window()->raise();
    window.activateWindow();
    application.dispatch(msg::kActivateApp, 1);  // active from the start, window manager or not

    app.setWindowIcon(window.windowIcon());  // the message boxes' too
    application.listenForOtherStarts(lock.socket());

    for (std::size_t deck = 0; deck < std::min<std::size_t>(options.files.size(), 2); ++deck) {
        application.loader().loadTrack(static_cast<int>(deck),
                                       application.browser().itemForFile(options.files[deck]));
    }
    if (!options.files.empty()) {
        application.controls().selectDeck(0);
    }

    // Ctrl+C and termination end the program as closing it does, so nothing learned is lost.
    std::unique_ptr<QSocketNotifier> quitSignals;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) == 0) {
        quitSignals = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(quitSignals.get(), &QSocketNotifier::activated,
                         [&application] { application.dispatch(msg::kDestroy); });
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }
    return app.exec();
}
