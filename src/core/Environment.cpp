#include "core/Environment.h"

#include <cstdlib>

std::string environmentVariable(const char* name) {
    const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe): nothing sets it
    return value != nullptr ? value : "";
}
