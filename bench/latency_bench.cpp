// What a DJ hears: from a key press on the X display to the first changed sample SDL hands to the
// sound card, in the real spinora (make bench runs it under xvfb-run) with SDL's disk driver.
// A deck standing paused on a tone is played with the space key, sent by xdotool, SPINORA_PRESSES
// times (40 by default), then paused with P; every other pause lasts long enough for the sound
// card to rest. The press counts from the moment it is handed to an xdotool already running and
// waiting for it (so a little late, never early); the sample from the moment SDL's callback handed
// its block over. SDL writes its capture through a 4 KB buffer, so the file
// grows four blocks at a time: each block's moment is placed between the moments the file grew.
// Reports the median and the worst as ratios to their targets (12 ms and 18 ms); fails when over.
#include <QProcess>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include "Session.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFrameBytes = 4;
constexpr long kBlockFrames = 256;
constexpr auto kMedianTarget = std::chrono::milliseconds(12);
constexpr auto kWorstTarget = std::chrono::milliseconds(18);

long capturedFrames(const Session& s) {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(s.dir.path() / "played.raw", error);
    return error ? 0 : static_cast<long>(bytes / kFrameBytes);
}

// xdotool reading its commands one line at a time, so that a key goes out as soon as it is asked.
class Keyboard {
  public:
    Keyboard() {
        xdotool_.start("xdotool", {"-"});
        xdotool_.waitForStarted();
    }
    ~Keyboard() {
        xdotool_.closeWriteChannel();
        xdotool_.waitForFinished();
    }
    // The moment the line was handed over.
    Clock::time_point send(const char* line) {
        xdotool_.write(line);
        xdotool_.waitForBytesWritten();
        return Clock::now();
    }

  private:
    QProcess xdotool_;
};

// The moments the capture grew (its length in frames then), from a press until a sample after
// `from` is not silent; that sample's frame, or nothing within a second.
struct Watch {
    std::vector<std::pair<Clock::time_point, long>> grew;
    std::optional<long> changed;
};

Watch watchFrom(const Session& s, long from) {
    Watch watch;
    std::ifstream in(s.dir.path() / "played.raw", std::ios::binary);
    long scanned = from;
    long length = from;
    const auto deadline = Clock::now() + std::chrono::seconds(1);
    while (Clock::now() < deadline) {
        const long now = capturedFrames(s);
        if (now != length) {
            watch.grew.emplace_back(Clock::now(), now);
            length = now;
        }
        if (!watch.changed && length > scanned) {
            std::vector<int16_t> samples(2 * static_cast<std::size_t>(length - scanned));
            in.clear();
            in.seekg(scanned * kFrameBytes);
            in.read(reinterpret_cast<char*>(samples.data()),
                    static_cast<std::streamsize>(samples.size() * 2));
            const auto loud =
                std::find_if(samples.begin(), samples.end(), [](int16_t v) { return v != 0; });
            if (loud != samples.end()) {
                watch.changed = scanned + (loud - samples.begin()) / 2;
            }
            scanned = length;
        }
        if (watch.changed && watch.grew.size() >= 2 && watch.grew.back().second > *watch.changed) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return watch;
}

// When the block holding `frame` was handed over: between the two moments the file grew around
// it, at the pace it grew.
std::optional<Clock::time_point> handedOver(const Watch& watch, long frame) {
    const long blockEnd = (frame / kBlockFrames + 1) * kBlockFrames;
    for (std::size_t i = 1; i < watch.grew.size(); ++i) {
        const auto [after, afterFrames] = watch.grew[i];
        const auto [before, beforeFrames] = watch.grew[i - 1];
        if (afterFrames >= blockEnd) {
            const double share = static_cast<double>(afterFrames - blockEnd) /
                                 static_cast<double>(afterFrames - beforeFrames);
            return after - std::chrono::duration_cast<Clock::duration>((after - before) * share);
        }
    }
    return std::nullopt;
}

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main() {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "needs an X display: run it under xvfb-run\n");
        return 1;
    }
    const char* configured = std::getenv("SPINORA_PRESSES");
    const int presses = configured != nullptr ? std::atoi(configured) : 40;
    Session s;
    const std::string track = s.dir.write("music/Tone.mp3", encodeMp3(tone(440, 300)));
    if (!s.start({QString::fromStdString(track)})) {
        return 1;
    }
    // Loaded once a first play is heard.
    s.key("space");
    if (!Session::waitUntil([&] { return capturedFrames(s) > 0 && !s.quietAtTheEnd(4410); })) {
        std::fprintf(stderr, "the track did not play\n");
        return 1;
    }
    Keyboard keyboard;
    std::mt19937 random(1);
    std::vector<double> latencies;
    std::vector<double> afterRest;
    for (int i = 0; i < presses; ++i) {
        s.key("p");
        if (!Session::waitUntil([&] { return s.quietAtTheEnd(2048); })) {
            std::fprintf(stderr, "the deck did not pause\n");
            return 1;
        }
        // Pressed at any moment of the card's block: a pause of a moment, or one long enough
        // for the card to rest.
        const bool rest = i % 2 == 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(rest ? 3500 : 200) +
                                    std::chrono::microseconds(random() % 6000));
        const long from = capturedFrames(s);
        const auto pressed = keyboard.send("keydown --delay 0 space\n");
        const Watch watch = watchFrom(s, from);
        keyboard.send("keyup --delay 0 space\n");
        const auto heard = watch.changed ? handedOver(watch, *watch.changed) : std::nullopt;
        if (!heard) {
            std::fprintf(stderr, "press %d was not heard within a second\n", i);
            return 1;
        }
        latencies.push_back(ms(*heard - pressed));
        if (rest) {
            afterRest.push_back(latencies.back());
        }
    }
    std::sort(latencies.begin(), latencies.end());
    std::sort(afterRest.begin(), afterRest.end());
    const double median = latencies[latencies.size() / 2];
    const double worst = latencies.back();
    std::printf(
        "key to sound, %d presses: median %.1f ms (%.2f of the %lld ms target), best %.1f, "
        "worst %.1f ms (%.2f of the %lld ms target)\n",
        presses, median, median / ms(kMedianTarget), static_cast<long long>(kMedianTarget.count()),
        latencies.front(), worst, worst / ms(kWorstTarget),
        static_cast<long long>(kWorstTarget.count()));
    if (!afterRest.empty()) {
        std::printf("  of them after the card rested: median %.1f ms, worst %.1f ms\n",
                    afterRest[afterRest.size() / 2], afterRest.back());
    }
    return median <= ms(kMedianTarget) && worst <= ms(kWorstTarget) ? 0 : 1;
}
