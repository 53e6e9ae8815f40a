#include "app/AnalyzeTool.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <set>
#include <utility>

#include "engine/deck/EngineState.h"
#include "engine/deck/TrackAnalysis.h"
#include "engine/deck/TrackInfoStore.h"
#include "engine/settings/Settings.h"
#include "platform/IniSettingsFile.h"
#include "platform/InstanceLock.h"
#include "platform/Mpg123Decoder.h"
#include "platform/Paths.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "Usage: spinora-analyze [--json] [--store] FILE_OR_FOLDER...\n"
    "Finds the tempo of MP3 tracks and where their music starts and ends, as a Spinora deck\n"
    "does while it plays them, as fast as the machine allows. Folders are searched for .mp3\n"
    "files, subfolders included; a folder without any is reported as an error. The exit\n"
    "status is 1 when anything could not be analysed, 2 for a usage error.\n"
    "\n"
    "  --json     print one JSON array of objects with the keys path, bpm, start_s, end_s,\n"
    "             duration_s, analysis_s and, for a track that could not be analysed, error;\n"
    "             bytes of a path that are not UTF-8 are given as U+FFFD\n"
    "  --store    keep the results in Spinora.idb of the data folder, so that the browser\n"
    "             shows the BPMs at once (not while Spinora runs)\n"
    "  --help     show this help\n"
    "  --version  show the version\n";

struct Options {
    bool json = false;
    bool store = false;
    std::vector<std::string> inputs;
};

// A track to analyse, or a folder in which none was found.
struct Input {
    std::string path;
    bool emptyFolder = false;
};

struct Result {
    std::string path;
    TrackAnalysis analysis;
    double seconds = 0;
    std::string error;  // empty when the track was analysed
};

constexpr const char* kEmptyFolderText = "No MP3 file in this folder";

bool isMp3(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return extension == ".mp3";
}

// A folder's device and inode: the same for every path that leads to it, links included.
using FolderId = std::pair<dev_t, ino_t>;

std::optional<FolderId> folderId(const fs::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        return std::nullopt;
    }
    return FolderId{status.st_dev, status.st_ino};
}

// Adds a folder's .mp3 entries, subfolders included. Each real folder is searched once, however
// many links lead to it, so that a link to a folder above ends; links are followed after the
// real subfolders, so that a track is named by its real path where it has one. An entry that is
// not a folder is taken as a track even when it is no regular file, so that it is reported.
void searchFolder(const fs::path& folder, std::set<FolderId>& visited,
                  std::vector<std::string>& found) {
    std::vector<fs::path> links;
    std::error_code error;
    for (fs::recursive_directory_iterator
             it(folder, fs::directory_options::skip_permission_denied, error),
         end;
         !error && it != end; it.increment(error)) {
        if (const std::optional<FolderId> id = folderId(it->path())) {
            if (it->is_symlink(error)) {
                links.push_back(it->path());
            } else if (!visited.insert(*id).second) {
                it.disable_recursion_pending();
            }
        } else if (isMp3(it->path())) {
            found.push_back(it->path().string());
        }
    }
    std::sort(links.begin(), links.end());
    for (const fs::path& link : links) {
        const std::optional<FolderId> id = folderId(link);
        if (id && visited.insert(*id).second) {
            searchFolder(link, visited, found);
        }
    }
}

// A folder gives its .mp3 files; anything else is taken as a track, so that a missing file is
// reported like any file that cannot be opened.
std::vector<Input> collectInputs(const std::vector<std::string>& inputs) {
    std::vector<Input> collected;
    std::set<FolderId> visited;
    for (const std::string& input : inputs) {
        const std::optional<FolderId> id = folderId(input);
        if (!id) {
            collected.push_back({input});
            continue;
        }
        if (!visited.insert(*id).second) {
            continue;  // given twice, or inside a folder given before
        }
        std::vector<std::string> found;
        searchFolder(input, visited, found);
        std::sort(found.begin(), found.end());
        if (found.empty()) {
            collected.push_back({input, true});
        }
        for (const std::string& track : found) {
            collected.push_back({track});
        }
    }
    return collected;
}

// A file name for a terminal or a JSON string: bytes that are not UTF-8 become U+FFFD, and control
// characters (C0, DEL and C1) escapes, so that a name can neither move the cursor nor end a line.
std::string withEscapes(const std::string& name, bool json) {
    const std::string utf8 =
        QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toUtf8().toStdString();
    std::string escaped;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        unsigned code = byte;
        if (byte == 0xc2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) < 0xa0) {
            code = static_cast<unsigned char>(utf8[++i]);  // a C1 control character
        }
        char escape[8];
        if (json && (code == '"' || code == '\\')) {
            escaped += '\\';
            escaped += static_cast<char>(code);
        } else if (code == '\n') {
            escaped += "\\n";
        } else if (code == '\t') {
            escaped += "\\t";
        } else if (code == '\r') {
            escaped += "\\r";
        } else if (code < 0x20 || (code >= 0x7f && code < 0xa0)) {
            std::snprintf(escape, sizeof escape, json || code >= 0x80 ? "\\u%04x" : "\\x%02x",
                          code);
            escaped += escape;
        } else {
            escaped += utf8[i];
        }
    }
    return escaped;
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

// Built by appends: GCC 12 at -O3 wrongly warns of overlapping copies in "\"" + std::string.
std::string jsonString(const std::string& text) {
    std::string json = "\"";
    json += withEscapes(text, true);
    json += '"';
    return json;
}

double positionSeconds(const TrackAnalysis& analysis, float position) {
    return static_cast<double>(position) * analysis.durationSeconds;
}

std::string jsonObject(const Result& result) {
    const TrackAnalysis& a = result.analysis;
    std::string json = "{\"path\": " + jsonString(result.path);
    if (result.error.empty()) {
        json += ", \"bpm\": " +
                (hasTempo(a.record.bpm) ? formatted("%.3f", a.record.bpm) : std::string("null"));
        json += ", \"start_s\": " + formatted("%.3f", positionSeconds(a, a.record.startPosition));
        json += ", \"end_s\": " + formatted("%.3f", positionSeconds(a, a.record.endPosition));
        json += ", \"duration_s\": " + std::to_string(a.durationSeconds);
    } else {
        json += ", \"bpm\": null, \"start_s\": null, \"end_s\": null, \"duration_s\": null";
    }
    json += ", \"analysis_s\": " + formatted("%.3f", result.seconds);
    if (!result.error.empty()) {
        json += ", \"error\": " + jsonString(result.error);
    }
    return json + "}";
}

std::string textLine(const Result& result) {
    const TrackAnalysis& a = result.analysis;
    const std::string path = withEscapes(result.path, false);
    if (!result.error.empty()) {
        return path + ": " + result.error;
    }
    const std::string tempo =
        hasTempo(a.record.bpm) ? formatted("%.2f BPM", a.record.bpm) : std::string("no tempo");
    return path + ": " + tempo + ", music from " +
           formatted("%.2f s", positionSeconds(a, a.record.startPosition)) + " to " +
           formatted("%.2f s", positionSeconds(a, a.record.endPosition)) + ", length " +
           std::to_string(a.durationSeconds) + " s, analysed in " +
           formatted("%.2f s", result.seconds);
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

    const std::vector<Input> inputs = collectInputs(options->inputs);
    const bool showProgress = isatty(STDERR_FILENO) && inputs.size() > 1;
    int failures = 0;
    if (options->json) {
        out << "[";
    }
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const std::string& path = inputs[i].path;
        if (showProgress) {
            err << "\r\033[Kanalysing " << i + 1 << "/" << inputs.size() << ": "
                << withEscapes(fs::path(path).filename().string(), false) << std::flush;
        }
        Result result;
        result.path = path;
        if (inputs[i].emptyFolder) {
            result.error = kEmptyFolderText;
        } else {
            const auto started = std::chrono::steady_clock::now();
            result.analysis =
                analyseTrack(path, settings.optimizedBeatDetection, makeMpg123Decoder);
            result.seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            if (result.analysis.status != kDeckNormal) {
                result.error = errorText(result.analysis.status);
            } else if (store) {
                result.analysis.record = store->insertAnalysis(result.analysis.record);
            }
        }
        failures += result.error.empty() ? 0 : 1;
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
        out << (inputs.empty() ? "]\n" : "\n]\n");
    }
    if (store && !store->save()) {
        err << "spinora-analyze: could not write " << store->file().string() << "\n";
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
