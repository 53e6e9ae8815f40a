#include "ui/browser/Collation.h"

#include <unicode/ucol.h>

#include <QLocale>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace {

// ICU itself rather than QCollator: its sort keys are plain bytes, which can lie side by side in
// one buffer and be compared without following a pointer per key.
class Collator {
  public:
    Collator() {
        QLocale locale;
        // The C locale collates by code point, which puts every accented letter after 'z'.
        if (locale.language() == QLocale::C) {
            locale = QLocale(QLocale::English, QLocale::UnitedStates);
        }
        UErrorCode status = U_ZERO_ERROR;
        collator_.reset(ucol_open(locale.name().toUtf8().constData(), &status));
        if (U_FAILURE(status)) {
            status = U_ZERO_ERROR;
            collator_.reset(ucol_open("", &status));  // the root order still sorts accents well
        }
        ucol_setAttribute(collator_.get(), UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
        // Secondary strength: accents count after the letters, case not at all.
        ucol_setAttribute(collator_.get(), UCOL_STRENGTH, UCOL_SECONDARY, &status);
        ucol_setAttribute(collator_.get(), UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
    }

    // Appends the text's sort key to keys, with its terminating zero byte; keys compare as
    // C strings.
    void appendKey(const QString& text, std::string& keys) const {
        constexpr int kLikelyKeyBytes = 64;
        const std::size_t start = keys.size();
        const auto write = [&](int room) {
            keys.resize(start + static_cast<std::size_t>(room));
            return ucol_getSortKey(collator_.get(), reinterpret_cast<const UChar*>(text.utf16()),
                                   static_cast<int32_t>(text.size()),
                                   reinterpret_cast<uint8_t*>(keys.data() + start), room);
        };
        const int length = write(kLikelyKeyBytes);
        if (length > kLikelyKeyBytes) {
            write(length);
        }
        keys.resize(start + static_cast<std::size_t>(std::max(length, 1)));
        keys.back() = '\0';
    }

  private:
    struct Closer {
        void operator()(UCollator* collator) const { ucol_close(collator); }
    };
    std::unique_ptr<UCollator, Closer> collator_;
};

// A row's key: its first eight bytes as one number decide most comparisons without reading the
// rest.
struct RowKey {
    uint64_t head;
    std::size_t offset;  // of the whole key in its share's buffer
    int share;
    int row;
};

uint64_t headOf(const char* key) {
    uint64_t head = 0;
    bool ended = false;
    for (int i = 0; i < 8; ++i) {
        ended = ended || key[i] == '\0';
        head = head << 8 | (ended ? 0u : static_cast<unsigned char>(key[i]));
    }
    return head;
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
    std::vector<std::string> buffers(static_cast<std::size_t>(threads));
    std::vector<RowKey> keys(static_cast<std::size_t>(count));
    const auto makeKeys = [&](int share) {
        const Collator collator;
        const int first = static_cast<int>(static_cast<int64_t>(count) * share / threads);
        const int end = static_cast<int>(static_cast<int64_t>(count) * (share + 1) / threads);
        std::string& buffer = buffers[static_cast<std::size_t>(share)];
        for (int row = first; row < end; ++row) {
            const std::size_t offset = buffer.size();
            collator.appendKey(textOf(row), buffer);
            keys[static_cast<std::size_t>(row)] =
                RowKey{headOf(buffer.data() + offset), offset, share, row};
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
    const auto compare = [&](const RowKey& a, const RowKey& b) {
        if (a.head != b.head) {
            return a.head < b.head ? -1 : 1;
        }
        if ((a.head & 0xff) == 0) {
            return 0;  // both ended within the head
        }
        return std::strcmp(buffers[static_cast<std::size_t>(a.share)].data() + a.offset + 8,
                           buffers[static_cast<std::size_t>(b.share)].data() + b.offset + 8);
    };
    // Equal texts keep their order either way.
    std::sort(keys.begin(), keys.end(), [&](const RowKey& a, const RowKey& b) {
        const int result = compare(a, b);
        if (result != 0) {
            return descending ? result > 0 : result < 0;
        }
        return a.row < b.row;
    });
    std::vector<int> order;
    order.reserve(keys.size());
    for (const RowKey& key : keys) {
        order.push_back(key.row);
    }
    return order;
}
