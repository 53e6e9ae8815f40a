#pragma once

#include <ostream>
#include <string>
#include <vector>

// spinora-analyze: analyses tracks as a deck playing them would and prints, per track, the
// global BPM, where the music starts and ends, the length and the time the analysis took; with
// --store it keeps the results in "Spinora.idb" for the browser. Tracks are analysed side by side
// (--jobs) and printed in their order. errIsTerminal: err shows a progress line. Returns the exit
// status.
int runAnalyzeTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool errIsTerminal);
