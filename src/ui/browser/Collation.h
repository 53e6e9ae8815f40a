#pragma once

#include <QString>
#include <functional>
#include <vector>

// The order in which a reader expects names: the user's locale's collation, case and accents
// after the letters, numbers by their value. Main thread only.

// The indexes 0 to count - 1 in the order of the texts textOf gives them; each text's collation
// key is computed once, on every core for many texts (textOf is then called from other threads
// too, while this one waits). Equal texts keep their order, in both directions.
std::vector<int> collatedOrder(int count, const std::function<QString(int)>& textOf,
                               bool descending);
