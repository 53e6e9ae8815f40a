#include "app/AnalyzeTool.h"

#include <sys/stat.h>

#include <QString>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <set>
#include <string_view>
#include <thread>
#include <utility>

#include "app/AnalysisProgress.h"
#include "app/ParallelInOrder.h"
#include "app/ToolStore.h"
#include "core/AtomicFile.h"
#include "engine/deck/EngineState.h"
#include "engine/deck/TrackAnalysis.h"
#include "engine/deck/TrackInfoStore.h"
#include "engine/library/TrackDatabase.h"
#include "platform/Mpg123Decoder.h"
#include "platform/Paths.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "Usage: spinora-analyze [--json] [--store] [--jobs N] FILE_OR_FOLDER...\n"
    "       spinora-analyze --database FOLDER...\n"
    "Finds the tempo of MP3 tracks and where their music starts and ends, as a Spinora deck\n"
    "does while it plays them, as fast as the machine allows. Folders are searched for .mp3\n"
    "files, subfolders included; a folder without any is reported as an error. Results are\n"
    "printed in the order of the tracks, whatever order they are analysed in. On a terminal,\n"
    "standard error shows the tracks done, the hours of audio, the speed and the time left.\n"
    "The exit status is 1 when anything could not be analysed, 2 for a usage error.\n"
    "\n"
    "  --json     print one JSON array of objects with the keys path, bpm, start_s, end_s,\n"
    "             duration_s, analysis_s and, for a track that could not be analysed, error;\n"
    "             bytes of a path that are not UTF-8 are given as U+FFFD\n"
    "  --store    keep the results in Spinora.idb of the data folder, so that the browser\n"
    "             shows the BPMs at once (not while Spinora runs)\n"
    "  --jobs N   analyse N tracks at a time, from 1 to 1024 (default: one per processor\n"
    "             core)\n"
    "  --database write mp3DataBase.txt in the data folder, the track database that the\n"
    "             search page searches, instead of analysing: one line per .mp3 file of the\n"
    "             folders, its folder's name as the disc name, then its full path. It replaces\n"
    "             the database there; a path that is not UTF-8 is left out, and said\n"
    "  --help     show this help\n"
    "  --version  show the version\n";

constexpr unsigned kMaxJobs = 1024;

struct Options {
    bool json = false;
    bool store = false;
    bool database = false;
    bool jobsGiven = false;
    unsigned jobs = std::max(std::thread::hardware_concurrency(), 1u);
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

// The size of a track's file, 0 when it has none.
std::uintmax_t fileBytes(const Input& input) {
    std::error_code error;
    const std::uintmax_t bytes = input.emptyFolder ? 0 : fs::file_size(input.path, error);
    return error ? 0 : bytes;
}

// Thread: any; the tracks are analysed side by side.
Result analyse(const Input& input, int32_t optimizedDetection) {
    Result result;
    result.path = input.path;
    if (input.emptyFolder) {
        result.error = kEmptyFolderText;
        return result;
    }
    const auto started = std::chrono::steady_clock::now();
    result.analysis = analyseTrack(input.path, optimizedDetection, makeMpg123Decoder);
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (result.analysis.status != kDeckNormal) {
        result.error = errorText(result.analysis.status);
    }
    return result;
}

// A number of jobs from kMaxJobs at most, or nothing.
std::optional<unsigned> jobCount(std::string_view text) {
    unsigned jobs = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), jobs);
    if (error != std::errc() || end != text.data() + text.size() || jobs < 1 || jobs > kMaxJobs) {
        return std::nullopt;
    }
    return jobs;
}

std::optional<Options> parse(const std::vector<std::string>& args, std::ostream& out,
                             std::ostream& err, int& status) {
    const auto usageError = [&](const std::string& message) {
        err << "spinora-analyze: " << message << "\n" << kUsage;
        status = 2;
        return std::nullopt;
    };
    Options options;
    bool endOfOptions = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (endOfOptions || arg.empty() || arg[0] != '-') {
            options.inputs.push_back(arg);
        } else if (arg == "--") {
            endOfOptions = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--store") {
            options.store = true;
        } else if (arg == "--database") {
            options.database = true;
        } else if (arg == "--jobs" || arg.starts_with("--jobs=")) {
            std::string_view value = arg;
            if (arg == "--jobs") {
                value = i + 1 < args.size() ? std::string_view(args[++i]) : std::string_view();
            } else {
                value.remove_prefix(std::string_view("--jobs=").size());
            }
            const std::optional<unsigned> jobs = jobCount(value);
            if (!jobs) {
                return usageError("--jobs needs a number from 1 to " + std::to_string(kMaxJobs));
            }
            options.jobs = *jobs;
            options.jobsGiven = true;
        } else if (arg == "--help" || arg == "-h") {
            out << kUsage;
            status = 0;
            return std::nullopt;
        } else if (arg == "--version") {
            out << "spinora-analyze " SPINORA_VERSION "\n";
            status = 0;
            return std::nullopt;
        } else {
            return usageError("unknown option " + arg);
        }
    }
    if (options.inputs.empty()) {
        return usageError("no file or folder given");
    }
    if (options.database && (options.json || options.store || options.jobsGiven)) {
        return usageError(
            "--database only writes the database: --json, --store and --jobs do "
            "not go with it");
    }
    return options;
}

// Writes the track database of the inputs' tracks in the data folder; the exit status.
int writeDatabase(const std::vector<std::string>& inputs, std::ostream& out, std::ostream& err) {
    std::string text;
    int tracks = 0;
    int failures = 0;
    for (const Input& input : collectInputs(inputs)) {
        std::error_code error;
        const fs::path path = fs::absolute(input.path, error).lexically_normal();
        std::string problem;
        if (input.emptyFolder) {
            problem = kEmptyFolderText;
        } else if (error || !fs::exists(path, error)) {
            problem = "No such file";
        } else if (!fs::is_regular_file(path, error)) {
            problem = "Not a file";
        } else if (const std::string line =
                       databaseLine(path.parent_path().filename().string(), path.string());
                   line.empty()) {
            problem = "Not named in UTF-8: left out of the database";
        } else {
            text += line + "\n";
            ++tracks;
        }
        if (!problem.empty()) {
            err << "spinora-analyze: " << withEscapes(input.path, false) << ": " << problem << "\n";
            ++failures;
        }
    }
    const fs::path file = dataFolder() / TrackDatabase::kFileName;
    if (tracks == 0) {
        err << "spinora-analyze: no track found, " << file.string() << " is left as it was\n";
        return 1;
    }
    std::error_code error;
    fs::create_directories(dataFolder(), error);
    if (const std::error_code written = writeFileAtomically(file, text)) {
        err << "spinora-analyze: could not write " << file.string() << ": " << written.message()
            << "\n";
        return 1;
    }
    out << tracks << (tracks == 1 ? " track" : " tracks") << " written to " << file.string()
        << "\n";
    return failures == 0 ? 0 : 1;
}

}  // namespace

int runAnalyzeTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool errIsTerminal) {
    int status = 0;
    const std::optional<Options> options = parse(args, out, err, status);
    if (!options) {
        return status;
    }
    if (options->database) {
        return writeDatabase(options->inputs, out, err);
    }

    // Without --store the results are not looked up: every track is analysed again.
    ToolStore toolStore("spinora-analyze", options->store);
    if (!toolStore.open(err)) {
        return 1;
    }
    TrackInfoStore* store = options->store ? &toolStore.store() : nullptr;
    const int32_t optimizedDetection = toolStore.optimizedDetection();

    const std::vector<Input> inputs = collectInputs(options->inputs);
    // Only a terminal gets the progress line; a pipe or a file gets nothing but the messages.
    std::optional<AnalysisProgress> progress;
    if (errIsTerminal && inputs.size() > 1) {
        std::uintmax_t bytes = 0;
        for (const Input& input : inputs) {
            bytes += fileBytes(input);
        }
        progress.emplace(inputs.size(), bytes);
    }
    const auto started = std::chrono::steady_clock::now();
    const auto showProgress = [&] {
        if (progress) {
            const std::chrono::duration<double> elapsed =
                std::chrono::steady_clock::now() - started;
            err << "\r\033[K" << progress->line(elapsed.count()) << std::flush;
        }
    };
    const auto clearProgress = [&] {
        if (progress) {
            err << "\r\033[K" << std::flush;
        }
    };

    int failures = 0;
    if (options->json) {
        out << "[";
    }
    showProgress();
    runInParallelInOrder<Result>(
        inputs.size(), options->jobs,
        [&](std::size_t i) { return analyse(inputs[i], optimizedDetection); },
        [&](std::size_t i, const Result& result) {
            if (progress) {
                progress->trackDone(fileBytes(inputs[i]),
                                    std::max(result.analysis.durationSeconds, 0));
                showProgress();
            }
        },
        [&](std::size_t i, Result& result) {
            // The store takes the tracks in their order, as when they are analysed one by one.
            if (store && result.error.empty()) {
                result.analysis.record = store->insertAnalysis(result.analysis.record);
            }
            failures += result.error.empty() ? 0 : 1;
            clearProgress();
            if (options->json) {
                out << (i == 0 ? "\n  " : ",\n  ") << jsonObject(result);
            } else {
                out << textLine(result) << "\n";
            }
            out.flush();
            showProgress();
        });
    clearProgress();
    if (options->json) {
        out << (inputs.empty() ? "]\n" : "\n]\n");
    }
    if (!toolStore.save(err)) {
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
