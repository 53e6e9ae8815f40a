#pragma once

#include <string_view>

#include "engine/library/BrowserItem.h"

// The column sorts of the browser. A key below 8 sorts a column one way, the same key plus 8 the
// other way; comparisons return a negative value when a is to stand before b. Pure functions: any
// thread.

// Letters A to Z folded to lower case, other bytes compared as unsigned values.
int compareText(std::string_view a, std::string_view b);

// The file list by BPM: key 2 the fastest first, 10 the reverse; other keys compare equal. (Its
// names sort as the user's locale collates them, in the window.)
int compareItems(const BrowserItem& a, const BrowserItem& b, int key);

// The key a click on a column gives, after lastKey: the same column again reverses the order.
int nextSortKey(int column, int lastKey);
