// The real programs started where their folders are missing or cannot be used.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLockFile>
#include <QProcess>
#include <QTest>
#include <filesystem>

#include "Mp3Fixtures.h"
#include "RunProgram.h"
#include "platform/InstanceChannel.h"

namespace {

const QString kBuild = QStringLiteral(SPINORA_BUILD_DIR);

class StartupTest : public ::testing::Test {
  protected:
    StartupTest() {
        std::filesystem::create_directories(work());
        std::filesystem::create_directories(temp());
        environment.insert("HOME", QString::fromStdString(dir.path().string()));
        environment.insert("XDG_CONFIG_HOME", path("config"));
        environment.insert("SPINORA_HOME", path("data"));
        environment.insert("TMPDIR", QString::fromStdString(temp().string()));
        environment.remove("XDG_RUNTIME_DIR");
        environment.insert("SPINORA_NO_DIALOGS", "1");
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("SDL_AUDIODRIVER", "dummy");
    }

    QString path(const std::string& name) const {
        return QString::fromStdString((dir.path() / name).string());
    }
    std::filesystem::path work() const { return dir.path() / "work"; }
    std::filesystem::path temp() const { return dir.path() / "tmp"; }

    // Runs a program of the build in the working folder.
    ProgramRun run(const QString& program, const QStringList& args) const {
        return runProgram(kBuild + "/" + program, args, environment,
                          QString::fromStdString(work().string()), 20000);
    }
    // Stores the analysis of one short track.
    ProgramRun storeATrack() const {
        if (!std::filesystem::exists(dir.path() / "t.mp3")) {
            dir.write("t.mp3", encodeMp3(drums(120, 1.0)));
        }
        return run("spinora-analyze", {"--store", path("t.mp3")});
    }

    TempDir dir;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};

TEST_F(StartupTest, LockFallsBackToTheTemporaryFolder) {
    const std::pair<QString, std::string> runtimes[] = {{path("missing"), "missing"},
                                                        {QStringLiteral("/proc"), "unwritable"}};
    for (const auto& [runtime, name] : runtimes) {
        SCOPED_TRACE(name);
        environment.insert("XDG_RUNTIME_DIR", runtime);
        const std::filesystem::path data = dir.path() / ("data-" + name);
        environment.insert("SPINORA_HOME", QString::fromStdString(data.string()));
        const ProgramRun stored = storeATrack();
        EXPECT_EQ(stored.status, 0) << stored.errors;
        EXPECT_TRUE(std::filesystem::exists(data / "Spinora.idb"));

        QLockFile running(QString::fromStdString((temp() / "spinora.lock").string()));
        ASSERT_TRUE(running.tryLock(0));
        EXPECT_EQ(run("spinora", {}).status, 255);
        const ProgramRun refused = storeATrack();
        EXPECT_EQ(refused.status, 1);
        EXPECT_NE(refused.errors.find("Spinora is running"), std::string::npos);
    }
}

TEST_F(StartupTest, DataFolderThatCannotBeUsedStopsTheStart) {
    const std::string file = dir.write("file", std::string("x"));
    for (const auto& [home, said] :
         {std::pair{file, "is not a folder"}, std::pair{file + "/sub", "cannot be made"}}) {
        SCOPED_TRACE(home);
        environment.insert("SPINORA_HOME", QString::fromStdString(home));
        const ProgramRun spinora = run("spinora", {});
        EXPECT_EQ(spinora.status, 1);
        EXPECT_NE(spinora.errors.find("The data folder " + home + " " + said), std::string::npos)
            << spinora.errors;
        EXPECT_TRUE(std::filesystem::is_empty(work()));
    }
}

TEST_F(StartupTest, SecondStartHandsItsFilesToTheRunningOneAndEnds) {
    int argc = 1;
    char name[] = "startup_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QLockFile running(QString::fromStdString((temp() / "spinora.lock").string()));
    ASSERT_TRUE(running.tryLock(0));
    std::vector<std::vector<std::string>> requests;
    InstanceServer server(
        [&](const std::vector<std::string>& files) { requests.push_back(files); });
    ASSERT_EQ(server.listen(temp() / "spinora.socket"), "");

    QProcess second;
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(QString::fromStdString(work().string()));
    second.start(kBuild + "/spinora", {"b.mp3", "--windowed", "/music/ä ü.mp3", "c.m3u"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 255);
    ASSERT_EQ(requests.size(), 1u);
    const std::vector<std::string> absolute = {(work() / "b.mp3").string(), "/music/ä ü.mp3",
                                               (work() / "c.m3u").string()};
    EXPECT_EQ(requests[0], absolute);
}

// Without a display Qt cannot start the window: the start fails with a reason, as any other
// does, instead of aborting.
TEST_F(StartupTest, NoDisplayIsSaidAndEndsTheStart) {
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("DISPLAY", ":9876");
    const ProgramRun started = run("spinora", {"--windowed"});
    EXPECT_EQ(started.status, 1) << started.errors;
    EXPECT_NE(started.errors.find("spinora: the window cannot start"), std::string::npos);
}

}  // namespace
