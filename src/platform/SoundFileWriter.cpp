#include "platform/SoundFileWriter.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;

int sndfileFormat(SoundFileWriter::Format format) {
    switch (format) {
        case SoundFileWriter::Format::Flac:
            return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
        case SoundFileWriter::Format::Mp3:
            return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
        case SoundFileWriter::Format::Wav:
            break;
    }
    return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
}

}  // namespace

SoundFileWriter::Format SoundFileWriter::formatOf(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (extension == ".mp3") {
        return Format::Mp3;
    }
    return extension == ".flac" ? Format::Flac : Format::Wav;
}

SoundFileWriter::SoundFileWriter(const std::filesystem::path& file) : file_(file) {
    if (file_.error()) {
        error_ = file_.error().message();
        return;
    }
    const Format format = formatOf(file);
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = kChannels;
    info.format = sndfileFormat(format);
    sound_ = sf_open_fd(file_.descriptor(), SFM_WRITE, &info, SF_FALSE);
    if (sound_ == nullptr) {
        error_ = sf_strerror(nullptr);
        return;
    }
    if (format == Format::Mp3) {
        // The best variable bit rate: a mix is kept, and played again and again.
        int mode = SF_BITRATE_MODE_VARIABLE;
        double level = 0.0;
        sf_command(sound_, SFC_SET_BITRATE_MODE, &mode, sizeof mode);
        sf_command(sound_, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
    }
}

SoundFileWriter::~SoundFileWriter() {
    if (sound_ != nullptr) {
        sf_close(sound_);
    }
}

bool SoundFileWriter::write(const int16_t* frames, int stereoFrames) {
    if (!error_.empty()) {
        return false;
    }
    if (sf_writef_short(sound_, frames, stereoFrames) != stereoFrames) {
        error_ = sf_strerror(sound_);
        return false;
    }
    return true;
}

bool SoundFileWriter::finish() {
    if (!error_.empty()) {
        return false;
    }
    const int closed = sf_close(sound_);
    sound_ = nullptr;
    if (closed != 0) {
        error_ = sf_error_number(closed);
        return false;
    }
    if (const std::error_code error = file_.commit()) {
        error_ = error.message();
        return false;
    }
    return true;
}
