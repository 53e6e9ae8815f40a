#include "Mp3Fixtures.h"

#include <lame/lame.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

std::vector<uint8_t> encodeMp3(const Pcm& pcm, Mp3Options options) {
    lame_global_flags* lame = lame_init();
    lame_set_num_channels(lame, pcm.channels);
    lame_set_in_samplerate(lame, pcm.sampleRate);
    lame_set_out_samplerate(lame, pcm.sampleRate);
    lame_set_mode(lame, pcm.channels == 1 ? MONO : JOINT_STEREO);
    lame_set_quality(lame, 7);
    if (options.vbr) {
        lame_set_VBR(lame, vbr_default);
        lame_set_VBR_quality(lame, 4.0f);
    } else {
        lame_set_VBR(lame, vbr_off);
        lame_set_brate(lame, options.kbps);
    }
    lame_set_bWriteVbrTag(lame, 1);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        throw std::runtime_error("lame rejected the parameters");
    }

    const int frames = pcm.frames();
    std::vector<uint8_t> mp3(static_cast<std::size_t>(1.25 * frames + 7200) + 16384);
    int size;
    if (pcm.channels == 2) {
        size = lame_encode_buffer_interleaved(lame, const_cast<short*>(pcm.samples.data()), frames,
                                              mp3.data(), static_cast<int>(mp3.size()));
    } else {
        size = lame_encode_buffer(lame, pcm.samples.data(), pcm.samples.data(), frames, mp3.data(),
                                  static_cast<int>(mp3.size()));
    }
    if (size < 0) {
        lame_close(lame);
        throw std::runtime_error("lame could not encode");
    }
    size += lame_encode_flush(lame, mp3.data() + size, static_cast<int>(mp3.size()) - size);
    mp3.resize(static_cast<std::size_t>(size));

    // The header frame written at the start counts the encoder's delay and padding; without it
    // the file decodes with extra silence.
    std::vector<uint8_t> tag(8192);
    const std::size_t tagSize = lame_get_lametag_frame(lame, tag.data(), tag.size());
    std::copy_n(tag.begin(), std::min(tagSize, mp3.size()), mp3.begin());
    lame_close(lame);
    return mp3;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "spinora-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code error;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(path_, error);
}

std::string TempDir::write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    const auto file = path_ / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return file.string();
}

std::string TempDir::write(const std::string& name, const std::string& text) const {
    return write(name, std::vector<uint8_t>(text.begin(), text.end()));
}

long TempDir::entries() const {
    return std::distance(std::filesystem::directory_iterator(path_),
                         std::filesystem::directory_iterator());
}

std::string fileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> truncated(std::vector<uint8_t> bytes, double fraction) {
    bytes.resize(static_cast<std::size_t>(bytes.size() * fraction) | 1);
    return bytes;
}

std::vector<uint8_t> randomBytes(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(count);
    for (auto& b : bytes) {
        b = static_cast<uint8_t>(random());
    }
    return bytes;
}

std::vector<uint8_t> id3TagOnly() {
    const std::string title = "Only a tag";
    const auto frameSize = static_cast<char>(title.size() + 1);
    // ID3v2.3 header with a syncsafe size small enough for its last byte, then one text frame.
    std::string tag = std::string("ID3\x03\0\0\0\0\0", 9) + static_cast<char>(10 + frameSize);
    tag += std::string("TIT2\0\0\0", 7) + frameSize + std::string("\0\0\0", 3) + title;
    return std::vector<uint8_t>(tag.begin(), tag.end());
}

std::vector<uint8_t> damaged(std::vector<uint8_t> bytes, std::size_t offset, std::size_t count,
                             unsigned seed) {
    const auto noise = randomBytes(count, seed);
    std::copy(noise.begin(), noise.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    return bytes;
}

std::vector<uint8_t> inserted(std::vector<uint8_t> bytes, std::size_t offset,
                              const std::vector<uint8_t>& insertion) {
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(offset), insertion.begin(),
                 insertion.end());
    return bytes;
}
