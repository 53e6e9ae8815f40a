#include "app/AnalyzeTool.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
#include <regex>
#include <sstream>

#include "Mp3Fixtures.h"
#include "engine/deck/TrackInfoStore.h"
#include "engine/library/TrackDatabase.h"

namespace {

// Shared by the tests: encoding takes a while.
const std::vector<uint8_t>& drumsAt(int bpm) {
    static std::map<int, std::vector<uint8_t>> cache;
    auto& bytes = cache[bpm];
    if (bytes.empty()) {
        bytes = encodeMp3(drums(bpm, 12.0));
    }
    return bytes;
}

class AnalyzeToolTest : public ::testing::Test {
  protected:
    AnalyzeToolTest() {
        setenv("SPINORA_HOME", (home.path() / "data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home.path() / "config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", home.path().c_str(), 1);
    }

    int run(std::vector<std::string> args, bool terminal = false) {
        out.str("");
        err.str("");
        return runAnalyzeTool(args, out, err, terminal);
    }

    QJsonArray json() const {
        QJsonParseError error;
        const auto doc = QJsonDocument::fromJson(QByteArray::fromStdString(out.str()), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << out.str();
        return doc.array();
    }

    std::vector<TrackInfoRecord> stored() const {
        TrackInfoStore store(home.path() / "data" / "Spinora.idb", 1, 0);
        store.load();
        return store.records();
    }

    TempDir home;
    TempDir music;
    std::ostringstream out;
    std::ostringstream err;
};

// Whatever the number of jobs, a track gives the same results, printed and stored in the order of
// the tracks: here the first track takes longest, and bad files sit among the good ones.
TEST_F(AnalyzeToolTest, JobsChangeNeitherResultsNorTheirOrder) {
    const std::vector<std::string> tracks = {
        music.write("Long.mp3", encodeMp3(drums(125, 60.0))),
        music.write("Short120.mp3", drumsAt(120)),
        music.write("Noisy.mp3", damaged(drumsAt(128), 20000, 3000, 7)),
        (music.path() / "Missing.mp3").string(),
        music.write("Cut.mp3", truncated(drumsAt(120), 0.4)),
        music.write("Text.mp3", std::string("not a track")),
        music.write("Short128.mp3", drumsAt(128)),
    };
    const auto analyse = [&](const std::string& jobs) {
        std::filesystem::remove(home.path() / "data" / "Spinora.idb");
        std::vector<std::string> args = {"--store", "--json", "--jobs", jobs};
        args.insert(args.end(), tracks.begin(), tracks.end());
        EXPECT_EQ(run(args), 1);
        // The time each analysis took is the one figure that may differ.
        return std::make_pair(
            std::regex_replace(out.str(), std::regex("\"analysis_s\": [0-9.]+"), ""),
            fileText(home.path() / "data" / "Spinora.idb"));
    };
    const auto one = analyse("1");
    const auto four = analyse("4");
    EXPECT_EQ(four.first, one.first);
    EXPECT_FALSE(one.second.empty());
    EXPECT_TRUE(four.second == one.second) << "the stores differ";

    const QJsonArray results = json();
    ASSERT_EQ(results.size(), static_cast<qsizetype>(tracks.size()));
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        EXPECT_EQ(results[i]["path"].toString().toStdString(), tracks[i]);
    }
    EXPECT_NEAR(results[0]["bpm"].toDouble(), 125.0, 0.2);
    EXPECT_EQ(results[5]["error"].toString(), "Impossible to open the file");
    EXPECT_TRUE(results[5]["bpm"].isNull());
    EXPECT_NEAR(results[6]["bpm"].toDouble(), 128.0, 0.2);  // the bad files stopped nothing
}

TEST_F(AnalyzeToolTest, StoreKeepsTheCuePointAndALockedTempo) {
    const std::string locked = music.write("Locked.mp3", drumsAt(120));
    const std::string plain = music.write("Plain.mp3", drumsAt(128));
    {
        std::filesystem::create_directories(home.path() / "data");
        TrackInfoStore store(home.path() / "data" / "Spinora.idb", 1, 1);
        TrackInfoRecord record = freshRecord(locked, static_cast<int32_t>(drumsAt(120).size()));
        record.bpm = 60.0f;
        record.bpmVotes = kLockedBpmVotes;
        record.cuePosition = 0.25f;
        store.insert(record);
        ASSERT_TRUE(store.save());
    }
    std::filesystem::create_directories(home.path() / "config" / "spinora");
    std::ofstream((home.path() / "config" / "spinora" / "spinora.ini").string())
        << "[General]\nOptimized beat detection=0\n";

    ASSERT_EQ(run({"--store", "--json", "--jobs", "2", locked, plain}), 0);
    const auto records = stored();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_NEAR(records[0].bpm, 128.0, 0.2);  // new records come first
    EXPECT_EQ(records[0].optimizedDetection, 0);
    EXPECT_EQ(records[1].bpm, 60.0f);
    EXPECT_EQ(records[1].cuePosition, 0.25f);
    EXPECT_GT(records[1].startPosition, 0.0f);
    EXPECT_EQ(json().at(0)["bpm"].toDouble(), 60.0);
}

// A link to a folder above would otherwise be followed until the paths grow too long.
TEST_F(AnalyzeToolTest, EachFolderIsSearchedOnceWhateverLinksLeadToIt) {
    music.write("a/Broken.mp3", std::string("not a track"));
    music.write("b/Other.mp3", std::string("nor this"));
    music.write("b/notes.txt", std::string("no track, not listed"));
    std::filesystem::create_directory_symlink(music.path(), music.path() / "a" / "up");
    std::filesystem::create_directory_symlink(music.path() / "a", music.path() / "b" / "a");

    EXPECT_EQ(run({music.path().string(), (music.path() / "b").string()}), 1);
    // Once each, named by their real paths, not through the links.
    EXPECT_EQ(out.str(),
              (music.path() / "a" / "Broken.mp3").string() + ": Impossible to open the file\n" +
                  (music.path() / "b" / "Other.mp3").string() + ": Impossible to open the file\n");
}

// Opening a FIFO waits for a writer: the tool must report it at once instead.
TEST_F(AnalyzeToolTest, WhatIsNoTrackIsReportedAtOnce) {
    const auto fifo = music.path() / "x.mp3";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directories(music.path() / "y.mp3");
    std::filesystem::create_directories(music.path() / "empty");
    auto running = std::async(std::launch::async, [&] {
        return run({"--json", fifo.string(), (music.path() / "y.mp3").string(),
                    (music.path() / "empty").string()});
    });
    if (running.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "spinora-analyze blocks on a FIFO";
        ::close(::open(fifo.c_str(), O_WRONLY));  // lets it go on
    }
    EXPECT_EQ(running.get(), 1);
    const QJsonArray results = json();
    ASSERT_EQ(results.size(), 3);
    EXPECT_EQ(results[0]["error"].toString(), "Impossible to open the file");
    EXPECT_EQ(results[1]["error"].toString(), "No MP3 file in this folder");
    EXPECT_EQ(results[2]["error"].toString(), "No MP3 file in this folder");

    // Inside a folder the FIFO is a track that cannot be opened.
    EXPECT_EQ(run({music.path().string()}), 1);
    EXPECT_EQ(out.str(), fifo.string() + ": Impossible to open the file\n");
}

// The progress line is for a person watching: a pipe or a file must not get it.
TEST_F(AnalyzeToolTest, ProgressOnlyOnATerminal) {
    const std::vector<std::string> args = {"--jobs", "2", music.write("A.mp3", drumsAt(120)),
                                           music.write("B.mp3", drumsAt(128)),
                                           (music.path() / "Missing.mp3").string()};
    EXPECT_EQ(run(args), 1);
    EXPECT_TRUE(err.str().empty()) << err.str();
    const std::string plain = out.str();

    EXPECT_EQ(run(args, true), 1);
    const std::string progress = err.str();
    EXPECT_TRUE(progress.starts_with("\r\033[K0/3 tracks, 0.00 h of audio")) << progress;
    EXPECT_NE(progress.find("\r\033[K3/3 tracks, 0.01 h of audio, "), std::string::npos);
    EXPECT_TRUE(progress.ends_with("\r\033[K")) << "the line is left on the terminal";
    EXPECT_EQ(std::regex_replace(out.str(), std::regex("analysed in [0-9.]+"), ""),
              std::regex_replace(plain, std::regex("analysed in [0-9.]+"), ""));

    EXPECT_EQ(run({args[0], args[1], args[2]}, true), 0);
    EXPECT_TRUE(err.str().empty()) << "a single track needs no progress line";
}

// --database writes a line a track, named by its folder, as the search page reads them.
TEST_F(AnalyzeToolTest, DatabaseOfFoldersNamesEachTrackByItsFolder) {
    const std::string air = music.write("CD 12/Mango - Air.mp3", std::string("x"));
    const std::string halo = music.write("CD 12/Beyonc\xc3\xa9 - Halo.mp3", std::string("x"));
    music.write("CD 12/Caf\xe9.mp3", std::string("x"));  // not UTF-8: left out
    const std::string song = music.write("A=B/Sub/Band - Song.mp3", std::string("x"));
    std::filesystem::create_directory(music.path() / "empty");
    EXPECT_EQ(run({"--database", (music.path() / "CD 12").string(), (music.path() / "A=B").string(),
                   (music.path() / "empty").string()}),
              1);
    EXPECT_NE(err.str().find("Caf\xef\xbf\xbd.mp3: Not named in UTF-8"), std::string::npos)
        << err.str();

    const std::filesystem::path file = home.path() / "data" / TrackDatabase::kFileName;
    const std::string written = fileText(file);
    EXPECT_EQ(written, "CD 12=" + halo + "\nCD 12=" + air + "\nSub=" + song + "\n");  // in order

    // A run that finds no track leaves the database as it was.
    EXPECT_EQ(run({"--database", (music.path() / "empty").string(),
                   (music.path() / "missing.mp3").string()}),
              1);
    EXPECT_NE(err.str().find("left as it was"), std::string::npos) << err.str();
    EXPECT_EQ(fileText(file), written);
}

}  // namespace
