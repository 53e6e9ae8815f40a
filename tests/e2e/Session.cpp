#include "Session.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "RunProgram.h"

namespace {

const QString kBuild = QStringLiteral(SPINORA_BUILD_DIR);

}  // namespace

Session::Session() {
    std::filesystem::create_directories(home() / ".config" / "spinora");
    std::filesystem::create_directories(dir.path() / "run");
    std::filesystem::permissions(dir.path() / "run", std::filesystem::perms::owner_all);
}

Session::~Session() {
    if (spinora.state() != QProcess::NotRunning) {
        spinora.kill();
        spinora.waitForFinished(5000);
    }
}

void Session::writeSettings(const std::string& text) const {
    std::ofstream(settingsFile()) << text;
}

QProcessEnvironment Session::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", QString::fromStdString(home().string()));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString((home() / ".config").string()));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString((dir.path() / "run").string()));
    env.insert("SPINORA_HOME", QString::fromStdString(data().string()));
    env.insert("SDL_AUDIODRIVER", "disk");
    env.insert("SDL_DISKAUDIOFILE", QString::fromStdString((dir.path() / "played.raw").string()));
    // The driver waits whole milliseconds per block. Its default for the 5.8 ms block, 5, plays
    // 1.14 times as fast as a card; 6 plays 0.95 times, nearer, and never makes a block look
    // shorter than a card's (the latency benchmark counts blocks).
    env.insert("SDL_DISKAUDIODELAY", "6");
    env.insert("SPINORA_NO_DIALOGS", "1");
    env.remove("QT_QPA_PLATFORM");
    return env;
}

bool Session::start(const QStringList& arguments, const QString& program) {
    spinora.setProcessEnvironment(environment());
    spinora.start(program.isEmpty() ? kBuild + "/spinora" : program, arguments);
    for (int tries = 0; tries < 100; ++tries) {
        QProcess search;
        // This process's own window: one a previous session left closing does not count. Mapped,
        // or a key pressed at once goes to the root window and is lost.
        search.start("xdotool", {"search", "--onlyvisible", "--pid",
                                 QString::number(spinora.processId()), "--name", "^Spinora$"});
        search.waitForFinished();
        if (!search.readAllStandardOutput().trimmed().isEmpty()) {
            return true;
        }
        if (spinora.waitForFinished(100)) {
            // Its standard error stays unread: a test may look for a message there.
            std::fprintf(stderr, "spinora ended before its window showed (status %d, %s)\n",
                         spinora.exitCode(),
                         spinora.exitStatus() == QProcess::NormalExit ? "exited" : "crashed");
            return false;
        }
    }
    return false;
}

int Session::run(const QString& program, const QStringList& arguments) {
    return runProgram(kBuild + "/" + program, arguments, environment()).status;
}

int Session::waitForExit(int milliseconds) {
    if (spinora.state() != QProcess::NotRunning && !spinora.waitForFinished(milliseconds)) {
        return -1;
    }
    return spinora.exitStatus() == QProcess::NormalExit ? spinora.exitCode() : -1;
}

void Session::xdotool(const QStringList& arguments) const {
    QProcess process;
    process.start("xdotool", arguments);
    process.waitForFinished();
}

void Session::key(const QString& keys) const {
    xdotool(QStringList{"key", "--delay", "80"} + keys.split(' '));
}

void Session::click(int x, int y) const {
    xdotool({"mousemove", QString::number(x), QString::number(y), "click", "1"});
}

QImage Session::screenshot() const {
    const std::string path = (dir.path() / "screen.png").string();
    QProcess import;
    import.start("import", {"-window", "root", QString::fromStdString(path)});
    import.waitForFinished();
    return QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32);
}

std::vector<int16_t> Session::played() const {
    std::ifstream in(dir.path() / "played.raw", std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

bool Session::quietAtTheEnd(int frames) const {
    const std::vector<int16_t> pcm = played();
    if (pcm.size() < static_cast<std::size_t>(2 * frames)) {
        return false;
    }
    return std::all_of(pcm.end() - 2 * frames, pcm.end(),
                       [](int16_t s) { return std::abs(s) < 100; });
}

int pixelsNear(const QImage& image, const QRect& rect, QRgb colour, int tolerance) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            count += std::abs(qRed(p) - qRed(colour)) < tolerance &&
                     std::abs(qGreen(p) - qGreen(colour)) < tolerance &&
                     std::abs(qBlue(p) - qBlue(colour)) < tolerance;
        }
    }
    return count;
}
