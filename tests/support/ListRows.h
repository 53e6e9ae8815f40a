#pragma once

#include <string>
#include <vector>

#include "ui/browser/BrowserModels.h"

// One field of every row of a list, in the list's order.
inline std::vector<std::string> rowsOf(const ItemListModel& model,
                                       std::string BrowserItem::*field) {
    std::vector<std::string> values;
    for (int row = 0; row < model.size(); ++row) {
        values.push_back(model.item(row).*field);
    }
    return values;
}
inline std::vector<std::string> titlesOf(const ItemListModel& model) {
    return rowsOf(model, &BrowserItem::title);
}
inline std::vector<std::string> pathsOf(const ItemListModel& model) {
    return rowsOf(model, &BrowserItem::path);
}
