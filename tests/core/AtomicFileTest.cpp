#include "core/AtomicFile.h"

#include <gtest/gtest.h>

#include <set>

#include "Mp3Fixtures.h"

namespace {

TEST(AtomicFileTest, ReplacesTheFileKeepingItsPermissionsAndFollowingALink) {
    TempDir dir;
    const std::filesystem::path real = dir.write("real.txt", std::string("old"));
    const auto perms = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                       std::filesystem::perms::group_read;
    std::filesystem::permissions(real, perms);
    const std::filesystem::path link = dir.path() / "link.txt";
    std::filesystem::create_symlink(real, link);
    ASSERT_FALSE(writeFileAtomically(link, "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(fileText(real), "new");
    EXPECT_EQ(std::filesystem::status(real).permissions(), perms);
    EXPECT_EQ(writeFileAtomically(dir.path() / "missing" / "x.txt", "new"),
              std::errc::no_such_file_or_directory);
}

TEST(AtomicFileTest, OnlyTheTemporaryFilesOfAnInterruptedSaveAreRemoved) {
    TempDir dir;
    const std::vector<std::string> kept = {"Spinora.idb", "Spinora.idb.bak", "Spinora.idb.a1B2c3d",
                                           "Spinora.idb.a1-2c3", "Other.idb.a1B2c3"};
    for (const std::string& name : kept) {
        dir.write(name, std::string("x"));
    }
    dir.write("Spinora.idb.a1B2c3", std::string("partial"));
    dir.write("Spinora.idb.000000", std::string());
    std::filesystem::create_directory(dir.path() / "Spinora.idb.Folder");
    removeLeftoverTemporaries(dir.path() / "Spinora.idb");
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        left.insert(entry.path().filename().string());
    }
    std::set<std::string> expected(kept.begin(), kept.end());
    expected.insert("Spinora.idb.Folder");
    EXPECT_EQ(left, expected);
}

// A file written piece by piece shows under its name only once committed, and a writer given up
// or failing leaves nothing beside it.
TEST(AtomicFileTest, PieceByPieceFileAppearsWholeOrNotAtAll) {
    TempDir dir;
    const std::filesystem::path file = dir.path() / "mix.wav";
    {
        AtomicFileWriter writer(file);
        ASSERT_FALSE(writer.error());
        writer.write("half");
        EXPECT_FALSE(std::filesystem::exists(file));
        EXPECT_EQ(dir.entries(), 1);  // the temporary file
    }
    EXPECT_EQ(dir.entries(), 0) << "given up: no temporary file left";
    {
        AtomicFileWriter writer(file);
        writer.write("first ");
        writer.write("second");
        ASSERT_FALSE(writer.commit());
    }
    EXPECT_EQ(fileText(file), "first second");
    EXPECT_EQ(dir.entries(), 1);
    AtomicFileWriter missing(dir.path() / "no" / "mix.wav");
    EXPECT_EQ(missing.error(), std::errc::no_such_file_or_directory);
    EXPECT_EQ(missing.commit(), std::errc::no_such_file_or_directory);
}

}  // namespace
