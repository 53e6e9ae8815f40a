#pragma once

#include <string_view>

#include "engine/library/BrowserItem.h"

// The column sorts of the browser. A key below 8 sorts a column one way, the same key plus 8 the
// other way; comparisons return a negative value when a is to stand before b. Pure functions: any
// thread.

// Letters A to Z folded to lower case, other bytes compared as unsigned values.
int compareText(std::string_view a, std::string_view b);

// The file list: -1 by kind (newest info records first), 0 title, 1 artist, 2 BPM descending,
// 8 to 10 the reverse.
int compareItems(const BrowserItem& a, const BrowserItem& b, int key);

// The search results, by the text of column key modulo 8.
int compareLines(std::string_view a, std::string_view b, int key);

// The key a click on a column gives, after lastKey: the same column again reverses the order.
int nextSortKey(int column, int lastKey);
