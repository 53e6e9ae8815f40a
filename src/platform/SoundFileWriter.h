#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "core/AtomicFile.h"
#include "engine/sound/PcmSink.h"

struct sf_private_tag;
struct lame_global_struct;

// A sound file at 44100 Hz, stereo: 16-bit WAV or FLAC through libsndfile, or MP3 through
// libmp3lame, as the file's name ends. It is written under a temporary name beside the file and
// takes the file's name only when finished, so that an interrupted or failed write never leaves a
// partial file under it. Thread: one at a time.
class SoundFileWriter : public PcmSink {
  public:
    enum class Format { Wav, Flac, Mp3 };

    // ".mp3" and ".flac" (in any case) give those; any other name WAV.
    static Format formatOf(const std::filesystem::path& file);

    // Opens the temporary file and the encoder; error() says why they could not be.
    explicit SoundFileWriter(const std::filesystem::path& file);
    ~SoundFileWriter() override;
    SoundFileWriter(const SoundFileWriter&) = delete;
    SoundFileWriter& operator=(const SoundFileWriter&) = delete;

    bool write(const int16_t* frames, int stereoFrames) override;
    // Ends the encoding and puts the file under its name: false, with error(), when it failed
    // (then no file is left).
    bool finish();
    // Empty while all is well.
    const std::string& error() const { return error_; }

  private:
    bool writeMp3(const unsigned char* bytes, int count);

    AtomicFileWriter file_;
    sf_private_tag* sound_ = nullptr;     // WAV and FLAC
    lame_global_struct* lame_ = nullptr;  // MP3
    std::string mp3_;                     // what the coder gave for the last frames
    std::string error_;
};
