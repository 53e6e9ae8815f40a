#include "app/MixTool.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

#include "app/ParallelInOrder.h"
#include "app/ToolStore.h"
#include "core/AtomicFile.h"
#include "engine/deck/TrackAnalysis.h"
#include "engine/deck/TrackInfoStore.h"
#include "engine/library/ArtistTitle.h"
#include "engine/library/PlaylistFile.h"
#include "engine/mix/CueSheet.h"
#include "engine/mix/MixRender.h"
#include "platform/Mpg123Decoder.h"
#include "platform/Mpg123TagReader.h"
#include "platform/SoundFileWriter.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "Usage: spinora-mix [OPTION]... PLAYLIST_OR_FILE...\n"
    "Renders the automatic mix of a playlist (.m3u, .m3u8 or .pls) or of MP3 files in their\n"
    "order into one sound file, as Spinora plays it with \"Auto Mix\" and \"Auto BPM\" on, as\n"
    "fast as the machine allows: the first track from its start of music, each next one mixed\n"
    "in at 80 % of the one before, tempo matched and beat aligned, to the end of the last.\n"
    "Tracks Spinora has not analysed yet are analysed first, side by side. A file that cannot\n"
    "be played is left out, with a warning. On a terminal, standard error shows the progress.\n"
    "The exit status is 1 when no mix could be made, 2 for a usage error.\n"
    "\n"
    "  -o, --output FILE  the mix: 16-bit stereo WAV at 44.1 kHz, or FLAC or MP3 when its\n"
    "                     name ends so (default: the playlist's name with .wav, in the\n"
    "                     working folder, or mix.wav)\n"
    "  --cue FILE         also write a CUE sheet of where each track starts, and print the\n"
    "                     track list\n"
    "  --long             long mixes: both tracks held together between the fades\n"
    "  --shuffle          play the tracks in a random order\n"
    "  --bpm N            play the whole set at N beats a minute (each track within its\n"
    "                     pitch range)\n"
    "  --store            keep the analyses in Spinora.idb of the data folder (not while\n"
    "                     Spinora runs)\n"
    "  --help             show this help\n"
    "  --version          show the version\n";

constexpr double kRate = 44100.0;

std::string lowerExtension(const std::string& path) {
    std::string extension = fs::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return extension;
}

// Whether the file is read as a playlist (.m3u, .m3u8 or .pls, in any case).
bool isPlaylistName(const std::string& path) {
    const std::string extension = lowerExtension(path);
    return extension == ".m3u" || extension == ".m3u8" || extension == ".pls";
}

std::optional<float> tempoIn(std::string_view text) {
    float bpm = 0.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), bpm);
    if (error != std::errc() || end != text.data() + text.size() || !(bpm >= 40.0f) ||
        bpm > 300.0f) {
        return std::nullopt;
    }
    return bpm;
}

std::string clock(double seconds) {
    const auto whole = static_cast<long long>(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                  whole % 60);
    return text;
}

// The same file, however it is named: a mix written over one of its own tracks is refused.
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::equivalent(a, b, error)) {
        return true;
    }
    return fs::weakly_canonical(a, error) == fs::weakly_canonical(b, error) && !error;
}

struct Track {
    std::string path;
    bool known = false;  // the store holds its record
};

// The tracks the inputs name, playlists read in place; a missing file is left out and said.
std::vector<Track> collectTracks(const std::vector<std::string>& inputs, std::ostream& err) {
    std::vector<Track> tracks;
    const auto add = [&](const std::string& path) {
        std::error_code error;
        if (!fs::is_regular_file(path, error)) {
            err << "spinora-mix: warning: " << path << ": no such file, left out of the mix\n";
            return;
        }
        tracks.push_back({path});
    };
    for (const std::string& input : inputs) {
        if (!isPlaylistName(input)) {
            add(input);
            continue;
        }
        std::error_code error;
        if (!fs::is_regular_file(input, error)) {
            err << "spinora-mix: warning: " << input << ": no such playlist\n";
            continue;
        }
        for (const std::string& entry : readPlaylistEntries(input)) {
            add(entry);
        }
    }
    return tracks;
}

// Analyses the tracks the store has no record of, side by side, and keeps the results in the
// store; a track that cannot be analysed is left out and said.
void analyseUnknown(std::vector<Track>& tracks, TrackInfoStore& store, int32_t optimizedDetection,
                    std::ostream& err, bool terminal, const std::atomic<bool>* stop) {
    std::vector<std::size_t> unknown;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        TrackInfoRecord record{};
        std::error_code error;
        const auto size = static_cast<int32_t>(fs::file_size(tracks[i].path, error));
        tracks[i].known = store.lookup(tracks[i].path, size, record);
        if (!tracks[i].known) {
            unknown.push_back(i);
        }
    }
    if (unknown.empty()) {
        return;
    }
    std::size_t done = 0;
    const unsigned jobs = std::max(std::thread::hardware_concurrency(), 1u);
    runInParallelInOrder<TrackAnalysis>(
        unknown.size(), jobs,
        [&](std::size_t i) {
            return analyseTrack(tracks[unknown[i]].path, optimizedDetection, makeMpg123Decoder,
                                stop);
        },
        [&](std::size_t, const TrackAnalysis&) {
            ++done;
            if (terminal) {
                err << "\r\033[KAnalysing: " << done << "/" << unknown.size() << " tracks"
                    << std::flush;
            }
        },
        [&](std::size_t i, const TrackAnalysis& analysis) {
            Track& track = tracks[unknown[i]];
            if (analysis.status == kDeckNormal && !analysis.stopped) {
                store.insertAnalysis(analysis.record);
                track.known = true;
            }
        });
    if (terminal) {
        err << "\r\033[K" << std::flush;
    }
    std::erase_if(tracks, [&](const Track& track) {
        if (!track.known) {
            err << "spinora-mix: warning: " << track.path
                << ": not a playable MP3 file, left out of the mix\n";
        }
        return !track.known;
    });
}

CueTrack namesOf(const std::string& path, TagReader& tags) {
    ArtistTitle shown = splitArtistTitle(fileNameOf(path));  // as the playlist names it
    nameFromTags(shown, tags.readTags(path));
    return {shown.artist, shown.title, 0};
}

}  // namespace

std::string defaultMixOutput(const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs) {
        if (isPlaylistName(input)) {
            return fs::path(input).stem().string() + ".wav";
        }
    }
    return "mix.wav";
}

std::optional<MixToolOptions> parseMixArguments(const std::vector<std::string>& args,
                                                std::ostream& out, std::ostream& err, int& status) {
    const auto usageError = [&](const std::string& message) {
        err << "spinora-mix: " << message << "\nTry 'spinora-mix --help' for more.\n";
        status = 2;
        return std::nullopt;
    };
    MixToolOptions options;
    bool endOfOptions = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // The value of "--name VALUE" or "--name=VALUE"; nothing when missing.
        const auto value = [&](std::string_view name) -> std::optional<std::string> {
            if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=') {
                return arg.substr(name.size() + 1);
            }
            if (i + 1 < args.size()) {
                return args[++i];
            }
            return std::nullopt;
        };
        const auto named = [&](std::string_view name) {
            return arg == name || (arg.starts_with(name) && arg.size() > name.size() &&
                                   arg[name.size()] == '=' && name.starts_with("--"));
        };
        if (endOfOptions || arg.empty() || arg[0] != '-' || arg == "-") {
            options.inputs.push_back(arg);
        } else if (arg == "--") {
            endOfOptions = true;
        } else if (arg == "--long") {
            options.longMix = true;
        } else if (arg == "--shuffle") {
            options.shuffle = true;
        } else if (arg == "--store") {
            options.store = true;
        } else if (named("-o") || named("--output")) {
            const std::optional<std::string> file = value(arg == "-o" ? "-o" : "--output");
            if (!file || file->empty()) {
                return usageError(arg + " needs a file name");
            }
            options.output = *file;
        } else if (named("--cue")) {
            const std::optional<std::string> file = value("--cue");
            if (!file || file->empty()) {
                return usageError("--cue needs a file name");
            }
            options.cue = *file;
        } else if (named("--bpm")) {
            const std::optional<std::string> text = value("--bpm");
            const std::optional<float> bpm = text ? tempoIn(*text) : std::nullopt;
            if (!bpm) {
                return usageError("--bpm needs a tempo from 40 to 300");
            }
            options.bpm = *bpm;
        } else if (arg == "--help" || arg == "-h") {
            out << kUsage;
            status = 0;
            return std::nullopt;
        } else if (arg == "--version") {
            out << "spinora-mix " SPINORA_VERSION "\n";
            status = 0;
            return std::nullopt;
        } else {
            return usageError("unknown option " + arg);
        }
    }
    if (options.inputs.empty()) {
        return usageError("no playlist or file given");
    }
    if (options.output.empty()) {
        options.output = defaultMixOutput(options.inputs);
    }
    if (!options.cue.empty() && sameFile(options.cue, options.output)) {
        return usageError("the CUE sheet and the mix cannot be the same file");
    }
    return options;
}

int runMixTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool errIsTerminal, const std::atomic<bool>* stop) {
    int status = 0;
    const std::optional<MixToolOptions> options = parseMixArguments(args, out, err, status);
    if (!options) {
        return status;
    }
    std::vector<Track> tracks = collectTracks(options->inputs, err);
    if (tracks.empty()) {
        err << "spinora-mix: nothing to mix: no playable track given\n";
        return 1;
    }
    for (const Track& track : tracks) {
        if (sameFile(track.path, options->output) ||
            (!options->cue.empty() && sameFile(track.path, options->cue))) {
            err << "spinora-mix: " << track.path
                << " is a track of the mix: it cannot be written\n";
            return 1;
        }
    }
    // Both outputs are created before any work, so that an unwritable one stops it at once.
    SoundFileWriter writer(options->output);
    if (!writer.error().empty()) {
        err << "spinora-mix: cannot write " << options->output << ": " << writer.error() << "\n";
        return 1;
    }
    std::optional<AtomicFileWriter> cue;
    if (!options->cue.empty()) {
        cue.emplace(options->cue);
        if (cue->error()) {
            err << "spinora-mix: cannot write " << options->cue << ": " << cue->error().message()
                << "\n";
            return 1;
        }
    }
    ToolStore store("spinora-mix", options->store);
    if (!store.open(err)) {
        return 1;
    }

    analyseUnknown(tracks, store.store(), store.optimizedDetection(), err, errIsTerminal, stop);
    if (stop != nullptr && stop->load()) {
        err << "spinora-mix: interrupted, no mix written\n";
        return 130;
    }
    if (tracks.empty()) {
        err << "spinora-mix: nothing to mix: no playable track given\n";
        return 1;
    }
    if (options->shuffle) {
        std::shuffle(tracks.begin(), tracks.end(), std::mt19937(std::random_device()()));
    }
    std::vector<std::string> paths(tracks.size());
    std::transform(tracks.begin(), tracks.end(), paths.begin(),
                   [](const Track& track) { return track.path; });

    MixRender render(paths, {options->longMix, options->bpm}, store.store(), makeMpg123Decoder);
    const auto started = std::chrono::steady_clock::now();
    std::size_t said = 0;
    const auto progress = [&](int64_t frames, std::size_t tracksStarted) {
        const double seconds = static_cast<double>(frames) / kRate;
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        char speed[32];
        std::snprintf(speed, sizeof speed, "%.0fx", elapsed > 0 ? seconds / elapsed : 0.0);
        const std::string line = "Mixing: track " + std::to_string(tracksStarted) + "/" +
                                 std::to_string(paths.size()) + ", " + clock(seconds) +
                                 " rendered, " + speed + " real time";
        if (errIsTerminal) {
            err << "\r\033[K" << line << std::flush;
        } else if (tracksStarted != said) {
            err << line << "\n";
        }
        said = tracksStarted;
    };
    const std::string failure = render.run(writer, progress, stop);
    if (errIsTerminal) {
        err << "\r\033[K" << std::flush;
    }
    for (const std::string& warning : render.warnings()) {
        err << "spinora-mix: warning: " << warning << "\n";
    }
    if (!failure.empty() || !writer.finish()) {
        err << "spinora-mix: no mix written: " << (!failure.empty() ? failure : writer.error())
            << "\n";
        return stop != nullptr && stop->load() ? 130 : 1;
    }

    Mpg123TagReader tags;
    std::vector<CueTrack> placed;
    for (const MixRender::Placement& placement : render.placements()) {
        if (placement.startFrame >= 0) {
            CueTrack track = namesOf(paths[placement.track], tags);
            track.startFrame = placement.startFrame;
            placed.push_back(track);
        }
    }
    std::sort(placed.begin(), placed.end(),
              [](const CueTrack& a, const CueTrack& b) { return a.startFrame < b.startFrame; });
    if (cue) {
        const std::string type =
            SoundFileWriter::formatOf(options->output) == SoundFileWriter::Format::Mp3 ? "MP3"
                                                                                       : "WAVE";
        // The sheet names the mix from its own folder.
        std::error_code error;
        const fs::path audio =
            fs::proximate(fs::absolute(options->output, error),
                          fs::absolute(options->cue, error).parent_path(), error);
        const std::string title = fs::path(options->output).stem().string();
        cue->write(cueSheet(title, audio.string(), type, placed));
        if (const std::error_code failed = cue->commit()) {
            err << "spinora-mix: cannot write " << options->cue << ": " << failed.message() << "\n";
            return 1;
        }
        for (std::size_t i = 0; i < placed.size(); ++i) {
            out << trackListLine(i + 1, placed[i]) << "\n";
        }
        if (placed.size() > kCueMaxTracks) {
            err << "spinora-mix: warning: a CUE sheet holds " << kCueMaxTracks
                << " tracks: the others are not in it\n";
        }
    }
    if (!store.save(err)) {
        return 1;
    }
    err << "spinora-mix: " << placed.size() << (placed.size() == 1 ? " track" : " tracks") << ", "
        << clock(static_cast<double>(render.framesRendered()) / kRate) << ", written to "
        << options->output << "\n";
    return 0;
}
