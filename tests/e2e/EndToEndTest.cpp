// Spinora as a person uses it, on a virtual display: what it shows and what it plays.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cmath>

#include "DisplayTest.h"
#include "KeptFile.h"
#include "RunProgram.h"

namespace {

constexpr QRgb kTitleGreen = qRgb(0, 255, 0);
constexpr QRgb kPanelYellow = qRgb(255, 255, 0);
constexpr QRgb kSelectedGreen = qRgb(0x35, 0xe0, 0x7a);
const QRect kTitle[2] = {QRect(76, 562, 145, 26), QRect(577, 562, 145, 26)};
const QRect kTime[2] = {QRect(17, 310, 102, 56), QRect(680, 310, 102, 56)};
const QRect kPitchText0(200, 360, 36, 13);
const QRect kDeck1Edge(470, 302, 300, 5);

// Where the pictures for the README go, when asked for.
void keepScreenshot(const QImage& image, const char* name) {
    const QString folder = qEnvironmentVariable("SPINORA_SCREENSHOTS");
    if (!folder.isEmpty()) {
        image.save(QDir(folder).filePath(QString::fromLatin1(name)));
    }
}

long loudSamples(const std::vector<int16_t>& pcm) {
    return std::count_if(pcm.begin(), pcm.end(), [](int16_t s) { return std::abs(s) > 1000; });
}

using EndToEndTest = DisplayTest;

TEST_F(EndToEndTest, PlaysTwoTracksChangesPitchAndDeckAndQuitsCleanly) {
    Session s;
    const std::string a =
        s.dir.write("music/Alpha Artist - First Tune.mp3", encodeMp3(drums(124, 30)));
    const std::string b =
        s.dir.write("music/Beta Band - Second Tune.mp3", encodeMp3(drums(128, 30)));
    ASSERT_TRUE(s.start({QString::fromStdString(a), QString::fromStdString(b)}));
    QImage loaded;
    const auto bothLoaded = [&] {
        loaded = s.screenshot();
        for (int deck = 0; deck < 2; ++deck) {
            if (pixelsNear(loaded, kTitle[deck], kTitleGreen, 60) <= 30 ||
                pixelsNear(loaded, kTime[deck], kPanelYellow, 60) <= 30) {
                return false;
            }
        }
        return true;
    };
    ASSERT_TRUE(s.waitUntil(bothLoaded));
    const int deck1Green = pixelsNear(loaded, kDeck1Edge, kSelectedGreen);

    s.key("space");
    EXPECT_TRUE(s.waitUntil([&] { return loudSamples(s.played()) > 44100; }));

    s.key("Next");  // Page Down: 2.5 % faster
    EXPECT_TRUE(
        s.waitUntil([&] { return s.screenshot().copy(kPitchText0) != loaded.copy(kPitchText0); }));

    s.key("Tab");
    QImage switched;
    EXPECT_TRUE(s.waitUntil([&] {
        switched = s.screenshot();
        return pixelsNear(switched, kDeck1Edge, kSelectedGreen) > deck1Green + 100;
    }));
    keepScreenshot(switched, "mixing.png");

    s.click(300, 430);  // deck 0's pause button: nothing plays, no question
    EXPECT_TRUE(s.waitUntil([&] { return s.quietAtTheEnd(26460); }));
    s.click(782, 12);  // close
    EXPECT_EQ(s.waitForExit(), 0);
    EXPECT_EQ(std::filesystem::file_size(s.data() / "Spinora.idb"), 96u);  // both records
    QFile settings(QString::fromStdString(s.settingsFile().string()));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains("C15="));
}

// Once deck 0 shows its track, it plays a second of sound, pauses (so quitting asks nothing) and
// the window is closed: the program ends cleanly.
void playPauseAndQuit(Session& s) {
    ASSERT_TRUE(
        s.waitUntil([&] { return pixelsNear(s.screenshot(), kTitle[0], kTitleGreen, 60) > 10; }));
    s.key("space");
    EXPECT_TRUE(s.waitUntil([&] { return loudSamples(s.played()) > 44100; }));
    s.click(300, 430);  // deck 0's pause button
    EXPECT_TRUE(s.waitUntil([&] { return s.quietAtTheEnd(26460); }));
    s.click(782, 12);  // close
    EXPECT_EQ(s.waitForExit(), 0);
}

TEST_F(EndToEndTest, AFileThatNeverOpensStopsNeitherTheOtherDeckNorTheQuit) {
    Session s;
    const std::string good = s.dir.write("music/Good.mp3", encodeMp3(drums(124, 20)));
    const std::string fifo = (s.dir.path() / "music" / "x.mp3").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);  // no writer ever comes
    ASSERT_TRUE(s.start({QString::fromStdString(good), QString::fromStdString(fifo)}));
    playPauseAndQuit(s);
    EXPECT_EQ(std::filesystem::file_size(s.data() / "Spinora.idb"), 48u);  // the good track's
}

// As a file manager opens a track with the installed launcher: its Exec line, run from the
// installed programs' folder, with the file for %F.
TEST_F(EndToEndTest, InstalledLauncherOpensATrack) {
    Session s;
    const std::filesystem::path stage = s.dir.path() / "stage";
    const KeptFile keptManifest(SPINORA_BUILD_DIR "/install_manifest.txt");
    const KeptFile keptDestdir(SPINORA_BUILD_DIR "/install_destdir.txt");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DESTDIR", QString::fromStdString(stage.string()));
    const ProgramRun install =
        runProgram("cmake", {"--install", SPINORA_BUILD_DIR, "--prefix", "/usr"}, environment);
    ASSERT_EQ(install.status, 0) << install.output;

    QStringList command;
    for (const QString& line :
         QString::fromStdString(
             fileText(stage / "usr/share/applications/org.spinora.Spinora.desktop"))
             .split('\n')) {
        if (line.startsWith("Exec=")) {
            command = line.mid(5).split(' ', Qt::SkipEmptyParts);
        }
    }
    ASSERT_FALSE(command.isEmpty());
    const QString program = QStandardPaths::findExecutable(
        command.takeFirst(), {QString::fromStdString((stage / "usr/bin").string())});
    ASSERT_FALSE(program.isEmpty()) << "the launcher's program is installed";
    const std::string track =
        s.dir.write("music/Alpha Artist - Tune.mp3", encodeMp3(drums(124, 20)));
    command.replaceInStrings("%F", QString::fromStdString(track));

    ASSERT_TRUE(s.start(command, program));
    playPauseAndQuit(s);
}

}  // namespace
