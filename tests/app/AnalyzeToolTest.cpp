#include "app/AnalyzeTool.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "Mp3Fixtures.h"
#include "app/InstanceLock.h"
#include "deck/TrackInfoStore.h"

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

    int run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return runAnalyzeTool(args, out, err);
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

TEST_F(AnalyzeToolTest, JsonForAFolderListsItsTracksInOrderWithErrors) {
    music.write("b/Second.MP3", drumsAt(128));
    music.write("a/First.mp3", drumsAt(120));
    music.write("a/notes.txt", std::string("not a track"));
    music.write("Broken.mp3", std::string("not a track either"));

    EXPECT_EQ(run({"--json", music.path().string()}), 1);  // one track failed
    const QJsonArray tracks = json();
    ASSERT_EQ(tracks.size(), 3);
    EXPECT_TRUE(tracks[0]["path"].toString().endsWith("Broken.mp3"));
    EXPECT_EQ(tracks[0]["error"].toString(), "Impossible to open the file");
    EXPECT_TRUE(tracks[0]["bpm"].isNull());

    const QJsonObject first = tracks[1].toObject();
    EXPECT_TRUE(first["path"].toString().endsWith("a/First.mp3"));
    EXPECT_NEAR(first["bpm"].toDouble(), 120.0, 0.2);
    EXPECT_NEAR(first["start_s"].toDouble(), 0.5, 0.1);
    EXPECT_NEAR(first["end_s"].toDouble(), 11.5, 0.6);
    EXPECT_EQ(first["duration_s"].toInt(), 12);
    EXPECT_GT(first["analysis_s"].toDouble(), 0.0);
    EXPECT_FALSE(first.contains("error"));
    EXPECT_NEAR(tracks[2]["bpm"].toDouble(), 128.0, 0.2);

    EXPECT_TRUE(stored().empty());  // nothing kept without --store
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

    ASSERT_EQ(run({"--store", "--json", locked, plain}), 0);
    const auto records = stored();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_NEAR(records[0].bpm, 128.0, 0.2);  // new records come first
    EXPECT_EQ(records[0].optimizedDetection, 0);
    EXPECT_EQ(records[1].bpm, 60.0f);
    EXPECT_EQ(records[1].cuePosition, 0.25f);
    EXPECT_GT(records[1].startPosition, 0.0f);
    EXPECT_EQ(json().at(0)["bpm"].toDouble(), 60.0);
}

TEST_F(AnalyzeToolTest, StoreIsRefusedWhileSpinoraRuns) {
    InstanceLock running;
    ASSERT_TRUE(running.tryLock());
    EXPECT_EQ(run({"--store", music.write("T.mp3", drumsAt(120))}), 1);
    EXPECT_NE(err.str().find("Spinora is running"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(home.path() / "data" / "Spinora.idb"));
}

TEST_F(AnalyzeToolTest, UsageErrors) {
    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({"--fast", "x.mp3"}), 2);
    EXPECT_NE(err.str().find("unknown option --fast"), std::string::npos);
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_NE(out.str().find("Usage: spinora-analyze"), std::string::npos);
    EXPECT_EQ(run({"--version"}), 0);
}

}  // namespace
