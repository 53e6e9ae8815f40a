#pragma once

#include <string>

// any: an environment variable's value; empty when unset. The program never changes its own
// environment once started, so reading it from any thread is safe.
std::string environmentVariable(const char* name);
