#include "platform/SoundFileWriter.h"

#include <lame/lame.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;

int sndfileFormat(SoundFileWriter::Format format) {
    switch (format) {
        case SoundFileWriter::Format::Flac:
            return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
        case SoundFileWriter::Format::Wav:
        case SoundFileWriter::Format::Mp3:
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
    if (format == Format::Mp3) {
        lame_ = lame_init();
        if (lame_ != nullptr) {
            lame_set_num_channels(lame_, kChannels);
            lame_set_in_samplerate(lame_, kRate);
            lame_set_out_samplerate(lame_, kRate);
            lame_set_mode(lame_, JOINT_STEREO);
            // The best variable bit rate: a mix is kept, and played again and again. Its tag
            // frame gives players the length.
            lame_set_VBR(lame_, vbr_default);
            lame_set_VBR_quality(lame_, 0.0f);
            lame_set_quality(lame_, 2);
            lame_set_bWriteVbrTag(lame_, 1);
        }
        if (lame_ == nullptr || lame_init_params(lame_) < 0) {
            error_ = "the MP3 coder could not be set up";
        }
        return;
    }
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = kChannels;
    info.format = sndfileFormat(format);
    sound_ = sf_open_fd(file_.descriptor(), SFM_WRITE, &info, SF_FALSE);
    if (sound_ == nullptr) {
        error_ = sf_strerror(nullptr);
    }
}

SoundFileWriter::~SoundFileWriter() {
    if (sound_ != nullptr) {
        sf_close(sound_);
    }
    if (lame_ != nullptr) {
        lame_close(lame_);
    }
}

bool SoundFileWriter::writeMp3(const unsigned char* bytes, int count) {
    if (count < 0) {
        error_ = "the MP3 coder failed";
        return false;
    }
    if (const std::error_code error =
            file_.write({reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(count)})) {
        error_ = error.message();
        return false;
    }
    return true;
}

bool SoundFileWriter::write(const int16_t* frames, int stereoFrames) {
    if (!error_.empty()) {
        return false;
    }
    if (lame_ != nullptr) {
        // As much as the coder may give for these frames, by its own rule.
        mp3_.resize(static_cast<std::size_t>(stereoFrames) * 5 / 4 + 7200);
        auto* out = reinterpret_cast<unsigned char*>(mp3_.data());
        return writeMp3(
            out, lame_encode_buffer_interleaved(lame_, const_cast<int16_t*>(frames), stereoFrames,
                                                out, static_cast<int>(mp3_.size())));
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
    if (lame_ != nullptr) {
        mp3_.resize(7200);
        auto* out = reinterpret_cast<unsigned char*>(mp3_.data());
        if (!writeMp3(out, lame_encode_flush(lame_, out, static_cast<int>(mp3_.size())))) {
            return false;
        }
        // The tag frame takes the place the coder left for it at the start.
        const std::size_t tag = lame_get_lametag_frame(lame_, out, mp3_.size());
        if (tag > 0 && ::pwrite(file_.descriptor(), out, tag, 0) != static_cast<ssize_t>(tag)) {
            error_ = "the MP3 tag frame could not be written";
            return false;
        }
    } else {
        const int closed = sf_close(sound_);
        sound_ = nullptr;
        if (closed != 0) {
            error_ = sf_error_number(closed);
            return false;
        }
    }
    if (const std::error_code error = file_.commit()) {
        error_ = error.message();
        return false;
    }
    return true;
}
