#include "platform/DeckEventQueue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

#include "core/Messages.h"

DeckEventQueue::DeckEventQueue(std::function<void(int, int)> deliver)
    : deliver_(std::move(deliver)), fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (fd_ >= 0) {
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
            uint64_t count = 0;
            (void)::read(fd_, &count, sizeof count);
            deliverPending();
        });
    }
}

DeckEventQueue::~DeckEventQueue() {
    notifier_.reset();
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void DeckEventQueue::raise(int kind, int deck) {
    if (!raised_[kind][deck].exchange(true)) {
        const uint64_t one = 1;
        (void)::write(fd_, &one, sizeof one);
    }
}

void DeckEventQueue::deliverPending() {
    constexpr int kMessages[] = {msg::kMixInto, msg::kTrackEnded, msg::kTrackLoaded,
                                 msg::kLoadFailed};
    for (std::size_t kind = 0; kind < raised_.size(); ++kind) {
        for (int deck = 0; deck < 2; ++deck) {
            if (raised_[kind][deck].exchange(false)) {
                deliver_(kMessages[kind], deck);
            }
        }
    }
}
