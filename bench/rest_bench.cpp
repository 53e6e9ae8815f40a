// What the real spinora costs while nothing or little happens: its whole process's CPU time, read
// from /proc over SPINORA_REST_SECONDS (10 by default) in each of three states, on the X display
// (make bench runs it under xvfb-run) with SDL's disk driver: no track; two tracks loaded and
// paused, the mixing page shown; both decks playing on the mixing page. Each figure is given as a
// share of one core and as a ratio to its target; fails when one is over its target.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "Session.h"

namespace {

using Clock = std::chrono::steady_clock;

const QRect kTitle[2] = {QRect(76, 562, 145, 26), QRect(577, 562, 145, 26)};
constexpr QRgb kTitleGreen = qRgb(0, 255, 0);

// User and system time of a process (every thread) or of one thread, in seconds, from its stat.
double cpuSeconds(const std::filesystem::path& stat) {
    std::ifstream in(stat);
    std::string line;
    std::getline(in, line);
    // The fields after the command name, which is in parentheses and may hold spaces.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string skipped;
    for (int field = 3; field < 14; ++field) {
        fields >> skipped;
    }
    long long user = 0;
    long long system = 0;
    fields >> user >> system;
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Each thread's CPU time so far, by thread id, with its name.
std::map<std::string, std::pair<std::string, double>> threadCpuSeconds(qint64 pid) {
    std::map<std::string, std::pair<std::string, double>> threads;
    std::error_code error;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
        std::string name;
        std::getline(std::ifstream(task.path() / "comm"), name);
        threads[task.path().filename()] = {name, cpuSeconds(task.path() / "stat")};
    }
    return threads;
}

// The process's CPU time over the next `span`, in percent of one core; the busiest threads' shares
// are printed too.
double cpuPercent(qint64 pid, std::chrono::seconds span) {
    const std::filesystem::path stat = "/proc/" + std::to_string(pid) + "/stat";
    const auto threadsBefore = threadCpuSeconds(pid);
    const double before = cpuSeconds(stat);
    const auto start = Clock::now();
    std::this_thread::sleep_for(span);
    const double after = cpuSeconds(stat);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    for (const auto& [id, thread] : threadCpuSeconds(pid)) {
        const auto was = threadsBefore.find(id);
        const double used = thread.second - (was != threadsBefore.end() ? was->second.second : 0);
        if (used > 0) {
            std::printf("    thread %-16s %5.2f %%\n", thread.first.c_str(),
                        100.0 * used / seconds);
        }
    }
    return 100.0 * (after - before) / seconds;
}

bool titlesShown(const Session& s) {
    const QImage screen = s.screenshot();
    for (const QRect& title : kTitle) {
        if (pixelsNear(screen, title, kTitleGreen, 60) <= 30) {
            return false;
        }
    }
    return true;
}

bool report(const char* state, double percent, double target) {
    std::printf("%-40s %5.2f %% of a core   %.2f of the %.0f %% target\n", state, percent,
                percent / target, target);
    return percent <= target;
}

}  // namespace

int main() {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "needs an X display: run it under xvfb-run\n");
        return 1;
    }
    const char* configured = std::getenv("SPINORA_REST_SECONDS");
    const std::chrono::seconds span(configured != nullptr ? std::atoi(configured) : 10);
    // Time for the start-up to settle (the window shown, the tracks analysed) before measuring.
    constexpr auto kSettle = std::chrono::seconds(5);
    bool met = true;
    {
        Session s;
        if (!s.start()) {
            return 1;
        }
        std::this_thread::sleep_for(kSettle);
        met = report("no track", cpuPercent(s.spinora.processId(), span), 1.0) && met;
    }
    Session s;
    const std::string a =
        s.dir.write("music/Alpha Artist - First Tune.mp3", encodeMp3(drums(124, 120)));
    const std::string b =
        s.dir.write("music/Beta Band - Second Tune.mp3", encodeMp3(drums(128, 120)));
    if (!s.start({QString::fromStdString(a), QString::fromStdString(b)}) ||
        !Session::waitUntil([&] { return titlesShown(s); })) {
        std::fprintf(stderr, "the tracks did not load\n%s\n",
                     s.spinora.readAllStandardError().constData());
        return 1;
    }
    s.key("F1");
    std::this_thread::sleep_for(kSettle);
    met = report("two tracks paused, mixing page", cpuPercent(s.spinora.processId(), span), 2.0) &&
          met;
    s.key("space Tab space");
    std::this_thread::sleep_for(kSettle);
    met = report("both decks playing, mixing page", cpuPercent(s.spinora.processId(), span), 6.0) &&
          met;
    return met ? 0 : 1;
}
