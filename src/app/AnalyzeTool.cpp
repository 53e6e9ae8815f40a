#include "app/AnalyzeTool.h"

#include <unistd.h>

#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "app/IniSettingsFile.h"
#include "app/InstanceLock.h"
#include "app/Paths.h"
#include "app/Settings.h"
#include "deck/EngineState.h"
#include "deck/Mpg123Decoder.h"
#include "deck/TrackAnalysis.h"
#include "deck/TrackInfoStore.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "Usage: spinora-analyze [--json] [--store] FILE_OR_FOLDER...\n"
    "Finds the tempo of MP3 tracks and where their music starts and ends, as a Spinora deck\n"
    "does while it plays them, as fast as the machine allows. Folders are searched for .mp3\n"
    "files, subfolders included.\n"
    "\n"
    "  --json     print one JSON array of objects with the keys path, bpm, start_s, end_s,\n"
    "             duration_s, analysis_s and, for a track that could not be analysed, error\n"
    "  --store    keep the results in Spinora.idb of the data folder, so that the browser\n"
    "             shows the BPMs at once (not while Spinora runs)\n"
    "  --help     show this help\n"
    "  --version  show the version\n";

struct Options {
    bool json = false;
    bool store = false;
    std::vector<std::string> inputs;
};

struct Result {
    std::string path;
    TrackAnalysis analysis;
    double seconds = 0;
};

bool isMp3(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return extension == ".mp3";
}

// A folder gives its .mp3 files in path order; anything else is taken as a track, so that a
// missing file is reported like any file that cannot be opened.
std::vector<std::string> collectTracks(const std::vector<std::string>& inputs) {
    std::vector<std::string> tracks;
    for (const std::string& input : inputs) {
        std::error_code error;
        if (!fs::is_directory(input, error)) {
            tracks.push_back(input);
            continue;
        }
        std::vector<std::string> found;
        const auto options = fs::directory_options::skip_permission_denied |
                             fs::directory_options::follow_directory_symlink;
        for (fs::recursive_directory_iterator it(input, options, error), end; !error && it != end;
             it.increment(error)) {
            if (isMp3(it->path()) && it->is_regular_file(error)) {
                found.push_back(it->path().string());
            }
        }
        std::sort(found.begin(), found.end());
        tracks.insert(tracks.end(), found.begin(), found.end());
    }
    return tracks;
}

bool hasTempo(float bpm) {
    return bpm >= 1.0f && bpm <= 999.0f;
}

std::string errorText(int status) {
    std::string text = deckStatusText(status);
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

std::string formatted(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string jsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

double positionSeconds(const TrackAnalysis& analysis, float position) {
    return static_cast<double>(position) * analysis.durationSeconds;
}

std::string jsonObject(const Result& result) {
    const TrackAnalysis& a = result.analysis;
    std::string json = "{\"path\": " + jsonString(result.path);
    if (a.status == kDeckNormal) {
        json += ", \"bpm\": " +
                (hasTempo(a.record.bpm) ? formatted("%.3f", a.record.bpm) : std::string("null"));
        json += ", \"start_s\": " + formatted("%.3f", positionSeconds(a, a.record.startPosition));
        json += ", \"end_s\": " + formatted("%.3f", positionSeconds(a, a.record.endPosition));
        json += ", \"duration_s\": " + std::to_string(a.durationSeconds);
    } else {
        json += ", \"bpm\": null, \"start_s\": null, \"end_s\": null, \"duration_s\": null";
    }
    json += ", \"analysis_s\": " + formatted("%.3f", result.seconds);
    if (a.status != kDeckNormal) {
        json += ", \"error\": " + jsonString(errorText(a.status));
    }
    return json + "}";
}

std::string textLine(const Result& result) {
    const TrackAnalysis& a = result.analysis;
    if (a.status != kDeckNormal) {
        return result.path + ": " + errorText(a.status);
    }
    const std::string tempo =
        hasTempo(a.record.bpm) ? formatted("%.2f BPM", a.record.bpm) : std::string("no tempo");
    return result.path + ": " + tempo + ", music from " +
           formatted("%.2f s", positionSeconds(a, a.record.startPosition)) + " to " +
           formatted("%.2f s", positionSeconds(a, a.record.endPosition)) + ", length " +
           std::to_string(a.durationSeconds) + " s, analysed in " +
           formatted("%.2f s", result.seconds);
}

// The stored record takes the new analysis but keeps the user's cue point, and the BPM the user
// locked.
TrackInfoRecord mergedRecord(const TrackInfoStore& store, const std::string& path,
                             const TrackInfoRecord& analysed) {
    TrackInfoRecord stored;
    if (!store.lookup(path, analysed.sizeKey, stored)) {
        return analysed;
    }
    TrackInfoRecord merged = analysed;
    merged.cuePosition = stored.cuePosition;
    if (stored.bpmVotes == kLockedBpmVotes) {
        merged.bpm = stored.bpm;
        merged.bpmVotes = stored.bpmVotes;
    }
    return merged;
}

std::optional<Options> parse(const std::vector<std::string>& args, std::ostream& out,
                             std::ostream& err, int& status) {
    Options options;
    bool endOfOptions = false;
    for (const std::string& arg : args) {
        if (endOfOptions || arg.empty() || arg[0] != '-') {
            options.inputs.push_back(arg);
        } else if (arg == "--") {
            endOfOptions = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--store") {
            options.store = true;
        } else if (arg == "--help" || arg == "-h") {
            out << kUsage;
            status = 0;
            return std::nullopt;
        } else if (arg == "--version") {
            out << "spinora-analyze " SPINORA_VERSION "\n";
            status = 0;
            return std::nullopt;
        } else {
            err << "spinora-analyze: unknown option " << arg << "\n" << kUsage;
            status = 2;
            return std::nullopt;
        }
    }
    if (options.inputs.empty()) {
        err << "spinora-analyze: no file or folder given\n" << kUsage;
        status = 2;
        return std::nullopt;
    }
    return options;
}

}  // namespace

int runAnalyzeTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    int status = 0;
    const std::optional<Options> options = parse(args, out, err, status);
    if (!options) {
        return status;
    }

    Settings settings;
    IniSettingsFile settingsFile(QString::fromStdString(settingsFilePath().string()));
    readSettings(settingsFile, settings);  // only the detector choice matters here

    InstanceLock lock;
    std::optional<TrackInfoStore> store;
    if (options->store) {
        if (!lock.tryLock()) {
            if (lock.heldElsewhere()) {
                err << "spinora-analyze: Spinora is running. Quit it before using --store: it "
                       "rewrites Spinora.idb while it runs.\n";
            } else {
                err << "spinora-analyze: " << lock.failure() << ", so --store cannot be used.\n";
            }
            return 1;
        }
        std::error_code error;
        fs::create_directories(dataFolder(), error);
        store.emplace(dataFolder() / TrackInfoStore::kFileName, settings.optimizedBeatDetection,
                      todayDateStamp());
        store->load();
    }

    const std::vector<std::string> tracks = collectTracks(options->inputs);
    const bool showProgress = isatty(STDERR_FILENO) && tracks.size() > 1;
    int failures = 0;
    if (options->json) {
        out << "[";
    }
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        if (showProgress) {
            err << "\r\033[Kanalysing " << i + 1 << "/" << tracks.size() << ": "
                << fs::path(tracks[i]).filename().string() << std::flush;
        }
        Result result;
        result.path = tracks[i];
        const auto started = std::chrono::steady_clock::now();
        result.analysis = analyseTrack(tracks[i], settings.optimizedBeatDetection,
                                       std::make_unique<Mpg123Decoder>());
        result.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (result.analysis.status != kDeckNormal) {
            ++failures;
        } else if (store) {
            result.analysis.record = mergedRecord(*store, tracks[i], result.analysis.record);
            store->insert(result.analysis.record);
        }
        if (options->json) {
            out << (i == 0 ? "\n  " : ",\n  ") << jsonObject(result);
        } else {
            out << textLine(result) << "\n";
        }
        out.flush();
    }
    if (showProgress) {
        err << "\r\033[K" << std::flush;
    }
    if (options->json) {
        out << (tracks.empty() ? "]\n" : "\n]\n");
    }
    if (store && !store->save()) {
        err << "spinora-analyze: could not write " << store->file().string() << "\n";
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
