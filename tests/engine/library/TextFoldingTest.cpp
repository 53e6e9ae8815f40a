// The texts of the track database: folding for the search and the code page of Windows files.
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
    EXPECT_EQ(foldedForSearch("\xc3\x28"), "\xc3\x28");
}

TEST(TextFoldingTest, Utf8IsToldFromOtherBytes) {
    EXPECT_TRUE(isUtf8("plain \xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xb5"));
    EXPECT_TRUE(isUtf8(""));
    EXPECT_FALSE(isUtf8("caf\xe9"));           // code page 1252
    EXPECT_FALSE(isUtf8("\xc0\xaf"));          // overlong
    EXPECT_FALSE(isUtf8("\xe0\x80\xaf"));      // overlong
    EXPECT_FALSE(isUtf8("\xed\xa0\x80"));      // a surrogate
    EXPECT_FALSE(isUtf8("\xf4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_FALSE(isUtf8("\xe2\x82"));          // cut short
    EXPECT_FALSE(isUtf8("\xe2\x28\xac"));      // not a continuation
    EXPECT_FALSE(isUtf8("\xf0\x9f\x8e\x28"));
}

TEST(TextFoldingTest, WindowsCodePageBecomesUtf8) {
    EXPECT_EQ(utf8FromCp1252("Caf\xe9 \x80 \x96 \x9f \xff"),
              "Caf\xc3\xa9 \xe2\x82\xac \xe2\x80\x93 \xc5\xb8 \xc3\xbf");
    EXPECT_EQ(utf8FromCp1252("\x81\x8d"), "\xc2\x81\xc2\x8d");  // unassigned: kept as values
    EXPECT_EQ(utf8FromCp1252("plain"), "plain");
}

}  // namespace
