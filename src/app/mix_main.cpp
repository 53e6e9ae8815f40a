#include <unistd.h>

#include <atomic>
#include <csignal>
#include <iostream>

#include "app/MixTool.h"

namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void interrupt(int) {
    interrupted = true;
}

}  // namespace

int main(int argc, char** argv) {
    // An interrupt ends the render cleanly, so that no partial output is left behind.
    std::signal(SIGINT, interrupt);
    std::signal(SIGTERM, interrupt);
    return runMixTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                      isatty(STDERR_FILENO) == 1, &interrupted);
}
