#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// The readers take files: each fuzz input is written to a folder of this process's own under the
// temporary folder, made once and emptied at exit.

// The folder, made on the first call.
const std::filesystem::path& fuzzFolder();

// Writes the bytes to name in the folder (replacing what was there) and returns its path.
std::string writeFuzzFile(const std::string& name, std::string_view bytes);
std::string writeFuzzFile(const std::string& name, const uint8_t* data, std::size_t size);

// Stops the run with the message, as a finding libFuzzer records with its input.
[[noreturn]] void fuzzFailure(const char* what);

#define FUZZ_CHECK(condition)                                    \
    do {                                                         \
        if (!(condition))                                        \
            fuzzFailure(__FILE__ ": check failed: " #condition); \
    } while (false)
