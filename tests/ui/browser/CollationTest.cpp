// The order of names in the lists: as a reader expects them, whatever the accents and the case.
#include <gtest/gtest.h>

#include "ui/browser/Collation.h"

namespace {

std::vector<std::string> sortedNames(const std::vector<std::string>& names, bool descending) {
    std::vector<std::string> sorted;
    for (int index : collatedOrder(
             static_cast<int>(names.size()),
             [&](int i) { return QString::fromStdString(names[i]); }, descending)) {
        sorted.push_back(names[index]);
    }
    return sorted;
}

TEST(CollationTest, AccentedNamesStandByTheirLetters) {
    const std::vector<std::string> names = {"Zebra",     "\xc3\x89lan", "eagle",   "Fame",
                                            "\u00e9den", "Track 10",    "Track 2", "_intro"};
    using N = std::vector<std::string>;
    const N ascending = {"_intro", "eagle",   "\u00e9den", "\xc3\x89lan",
                         "Fame",   "Track 2", "Track 10",  "Zebra"};
    EXPECT_EQ(sortedNames(names, false), ascending);
    // No two names equal: the other way is the same order reversed.
    EXPECT_EQ(sortedNames(names, true), N(ascending.rbegin(), ascending.rend()));
}

TEST(CollationTest, EqualNamesKeepTheirOrderBothWays) {
    const std::vector<std::string> names = {"b", "ABC", "a", "abc", "Abc"};
    using N = std::vector<std::string>;
    EXPECT_EQ(sortedNames(names, false), (N{"a", "ABC", "abc", "Abc", "b"}));
    EXPECT_EQ(sortedNames(names, true), (N{"b", "ABC", "abc", "Abc", "a"}));
}

}  // namespace
