// An installation into a staging folder, as a packager makes one: what it holds, and that
// uninstalling takes back exactly what it wrote.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "KeptFile.h"
#include "Mp3Fixtures.h"
#include "RunProgram.h"

namespace fs = std::filesystem;

namespace {

const QString kBuild = QStringLiteral(SPINORA_BUILD_DIR);
const QString kCmake = QStringLiteral(SPINORA_CMAKE);
const fs::path kManifest = fs::path(SPINORA_BUILD_DIR) / "install_manifest.txt";
const fs::path kDestdirRecord = fs::path(SPINORA_BUILD_DIR) / "install_destdir.txt";

ProgramRun run(const QString& program, const QStringList& args, const QString& destdir = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!destdir.isEmpty()) {
        environment.insert("DESTDIR", destdir);
    }
    return runProgram(program, args, environment);
}

std::set<fs::path> filesUnder(const fs::path& folder) {
    std::set<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_directory()) {
            files.insert(entry.path());
        }
    }
    return files;
}

// One installation for the whole suite, under /usr in a staging folder.
struct Installation {
    TempDir staging;
    KeptFile keptManifest{kManifest};
    KeptFile keptDestdir{kDestdirRecord};
    ProgramRun installed = run(kCmake, {"--install", kBuild, "--prefix", "/usr"},
                               QString::fromStdString(staging.path().string()));
    std::set<fs::path> files = filesUnder(staging.path());
    std::string manifest = fileText(kManifest);
};

class InstallTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { installation_ = std::make_unique<Installation>(); }
    static void TearDownTestSuite() { installation_.reset(); }
    void SetUp() override {
        ASSERT_EQ(installation_->installed.status, 0)
            << installation_->installed.output << installation_->installed.errors;
    }

    static const fs::path& staging() { return installation_->staging.path(); }
    static fs::path usr() { return staging() / "usr"; }

    static inline std::unique_ptr<Installation> installation_;
};

TEST_F(InstallTest, PutsTheProgramsAndTheirPagesUnderThePrefix) {
    for (const char* program : {"spinora", "spinora-analyze", "spinora-mix"}) {
        const fs::path file = usr() / "bin" / program;
        ASSERT_TRUE(fs::exists(file)) << file;
        EXPECT_NE(fs::status(file).permissions() & fs::perms::others_exec, fs::perms::none);
        const ProgramRun version = run(QString::fromStdString(file.string()), {"--version"});
        EXPECT_EQ(version.status, 0);
        EXPECT_EQ(version.output, std::string(program) + " " SPINORA_VERSION "\n");
        const fs::path page = usr() / "share/man/man1" / (std::string(program) + ".1");
        const std::string text = fileText(page);
        EXPECT_NE(text.find("\"Spinora " SPINORA_VERSION "\""), std::string::npos)
            << "the page of this version: " << page;
    }
    EXPECT_FALSE(fs::exists(staging() / "usr/local")) << "the prefix was not used";
}

TEST_F(InstallTest, TheLauncherOpensMusicFilesWithTheInstalledIcon) {
    const std::string launcher = fileText(usr() / "share/applications/org.spinora.Spinora.desktop");
    EXPECT_NE(launcher.find("\nIcon=spinora\n"), std::string::npos) << launcher;
    EXPECT_NE(launcher.find("\nMimeType=audio/mpeg;audio/x-mpegurl;\n"), std::string::npos);

    const fs::path icons = usr() / "share/icons/hicolor";
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const fs::path file =
            icons / (std::to_string(size) + "x" + std::to_string(size)) / "apps/spinora.png";
        const QImage icon(QString::fromStdString(file.string()));
        ASSERT_FALSE(icon.isNull()) << file;
        EXPECT_EQ(icon.size(), QSize(size, size)) << file;
    }
}

TEST_F(InstallTest, UninstallRemovesExactlyWhatWasInstalled) {
    // The manifest lists every file installed, and nothing else, without the staging folder.
    std::set<fs::path> listed;
    std::istringstream lines(installation_->manifest);
    for (std::string line; std::getline(lines, line);) {
        ASSERT_EQ(line.rfind("/usr/", 0), 0u) << line;
        listed.insert(staging().string() + line);
    }
    EXPECT_EQ(listed, installation_->files);

    const fs::path foreign = usr() / "share/applications/other.desktop";
    std::ofstream(foreign) << "[Desktop Entry]\n";
    // From another folder: the staging folder was recorded whole.
    const ProgramRun removed = run(kCmake, {"--build", kBuild, "--target", "uninstall"});
    ASSERT_EQ(removed.status, 0) << removed.output << removed.errors;
    EXPECT_EQ(filesUnder(staging()), std::set<fs::path>{foreign});
}

}  // namespace
