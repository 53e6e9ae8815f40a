// The texts of the track database: folding for the search and UTF-8 told from a Windows code page.
#include <gtest/gtest.h>

#include "engine/library/TextFolding.h"

namespace {

TEST(TextFoldingTest, LatinLettersLoseCaseAndAccents) {
    EXPECT_EQ(foldedForSearch("Beyonc\xc3\xa9 \xc3\x80 \xc3\xbf"), "beyonce a y");
    EXPECT_EQ(foldedForSearch("\xc3\x86on \xc5\x92uvre Stra\xc3\x9f"
                              "e \xc3\x9eor"),
              "aeon oeuvre strasse thor");
    EXPECT_EQ(foldedForSearch("\xc5\xbb\xc3\xb3\xc5\x82w \xc4\x8c\xc5\xa1"), "zolw cs");
    EXPECT_EQ(foldedForSearch("e\xcc\x81t\xcd\xaf"), "et");  // combining accents, first and last
    // Signs and other scripts as they are; broken UTF-8 kept byte for byte.
    EXPECT_EQ(foldedForSearch("2\xc3\x97"
                              "3 \xd0\x96 \xc3"),
              "2\xc3\x97"
              "3 \xd0\x96 \xc3");
}

TEST(TextFoldingTest, Utf8IsToldFromOtherBytes) {
    EXPECT_TRUE(isUtf8("plain \xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xb5"));
    EXPECT_FALSE(isUtf8("caf\xe9"));           // code page 1252
    EXPECT_FALSE(isUtf8("\xe0\x80\xaf"));      // overlong
    EXPECT_FALSE(isUtf8("\xed\xa0\x80"));      // a surrogate
    EXPECT_FALSE(isUtf8("\xf4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_FALSE(isUtf8("\xe2\x82"));          // cut short
}

}  // namespace
