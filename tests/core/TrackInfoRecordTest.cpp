#include "core/TrackInfoRecord.h"

#include <gtest/gtest.h>

namespace {

TEST(TrackInfoRecordTest, NameHashSumsTheSignedCharactersOfTheFileName) {
    EXPECT_EQ(nameHash("AB"), 'A' + 'B');
    EXPECT_EQ(nameHash("C:\\Music\\AB"), nameHash("AB"));
    EXPECT_EQ(nameHash("/home/dj/AB"), nameHash("AB"));
    EXPECT_EQ(nameHash("dir\\"), 0);
    EXPECT_EQ(nameHash("\xe9t\xe9"), -23 + 't' - 23);  // bytes above 127 count as negative
    EXPECT_EQ(dateStamp(2000, 6, 15), 2048399);
}

}  // namespace
