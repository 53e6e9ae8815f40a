#pragma once

#include <atomic>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// spinora-mix: renders the automatic mix of a playlist (or of MP3 files in order) into a sound
// file, as the program plays it with "Auto Mix" and "Auto BPM" on, as fast as the machine allows;
// with --cue also a CUE sheet of where each track starts.

struct MixToolOptions {
    bool longMix = false;
    bool shuffle = false;
    bool store = false;
    float bpm = 0.0f;    // 0: the first track's tempo
    std::string output;  // empty: the default name
    std::string cue;     // empty: no sheet
    std::vector<std::string> inputs;
};

// The options the arguments give; nothing when the tool has nothing more to do, with `status`
// (0 after --help or --version, 2 after a usage error, which is said on err).
std::optional<MixToolOptions> parseMixArguments(const std::vector<std::string>& args,
                                                std::ostream& out, std::ostream& err, int& status);

// The output's name when none is given: the first playlist's name with ".wav", in the working
// folder, or "mix.wav" for tracks given alone.
std::string defaultMixOutput(const std::vector<std::string>& inputs);

// Runs the tool; errIsTerminal: err shows a progress line, else plain lines. `stop`, when raised
// (an interrupt), ends it without leaving an output. Returns the exit status.
int runMixTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool errIsTerminal, const std::atomic<bool>* stop = nullptr);
