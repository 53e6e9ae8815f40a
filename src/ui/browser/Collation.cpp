#include "ui/browser/Collation.h"

#include <QCollator>
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <numeric>
#include <thread>

namespace {

QCollator userCollator() {
    QLocale locale;
    // The C locale collates by code point, which puts every accented letter after 'z'.
    if (locale.language() == QLocale::C) {
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    }
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    return collator;
}

}  // namespace

std::vector<int> collatedOrder(int count, const std::function<QString(int)>& textOf,
                               bool descending) {
    // The keys are most of the work: each core makes those of a share of the rows, with a
    // collator of its own.
    constexpr int kRowsPerThread = 8192;
    const int threads =
        std::clamp(count / kRowsPerThread, 1,
                   static_cast<int>(std::max(std::thread::hardware_concurrency(), 1u)));
    std::vector<std::vector<QCollatorSortKey>> shares(static_cast<std::size_t>(threads));
    const auto makeKeys = [&](int share) {
        const QCollator collator = userCollator();
        const int first = static_cast<int>(static_cast<int64_t>(count) * share / threads);
        const int end = static_cast<int>(static_cast<int64_t>(count) * (share + 1) / threads);
        std::vector<QCollatorSortKey>& keys = shares[static_cast<std::size_t>(share)];
        keys.reserve(static_cast<std::size_t>(end - first));
        for (int i = first; i < end; ++i) {
            keys.push_back(collator.sortKey(textOf(i)));
        }
    };
    std::vector<std::thread> helpers;
    for (int share = 1; share < threads; ++share) {
        helpers.emplace_back(makeKeys, share);
    }
    makeKeys(0);
    for (std::thread& helper : helpers) {
        helper.join();
    }
    std::vector<QCollatorSortKey> keys;
    keys.reserve(static_cast<std::size_t>(count));
    for (std::vector<QCollatorSortKey>& share : shares) {
        std::move(share.begin(), share.end(), std::back_inserter(keys));
    }
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int result = keys[a].compare(keys[b]);
        return descending ? result > 0 : result < 0;
    });
    return order;
}
