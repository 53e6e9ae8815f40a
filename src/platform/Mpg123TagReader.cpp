#include "platform/Mpg123TagReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace {

void initialiseLibraryOnce() {
    static const int result = mpg123_init();
    (void)result;
}

// The first of the texts a frame may hold, each ended by a zero byte.
std::string fromVersion2(const mpg123_string* text) {
    if (text == nullptr || text->p == nullptr || text->fill == 0) {
        return {};
    }
    return std::string(text->p, ::strnlen(text->p, text->fill));
}

// A fixed field padded with zero bytes or spaces, in Latin-1 (the Windows code page that some
// writers used is not converted by every build of libmpg123).
std::string fromVersion1(const char* field, std::size_t size) {
    std::size_t length = ::strnlen(field, size);
    while (length > 0 && field[length - 1] == ' ') {
        --length;
    }
    mpg123_string text;
    mpg123_init_string(&text);
    std::string converted;
    if (length > 0 && mpg123_store_utf8(&text, mpg123_text_latin1,
                                        reinterpret_cast<const unsigned char*>(field), length)) {
        converted = fromVersion2(&text);
    }
    mpg123_free_string(&text);
    return converted;
}

}  // namespace

Mpg123TagReader::Mpg123TagReader() {
    initialiseLibraryOnce();
    handle_ = mpg123_new(nullptr, nullptr);
    if (handle_ != nullptr) {
        mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    }
}

Mpg123TagReader::~Mpg123TagReader() {
    mpg123_delete(handle_);
}

ArtistTitle Mpg123TagReader::readTags(const std::string& path) {
    // Not blocking: a FIFO would otherwise wait for a writer.
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (file < 0) {
        return {};
    }
    ArtistTitle found;
    struct stat status {};
    if (handle_ != nullptr && ::fstat(file, &status) == 0 && S_ISREG(status.st_mode) &&
        mpg123_open_fd(handle_, file) == MPG123_OK) {
        // An ID3v1 tag is seen as the file opens, an ID3v2 tag on the way to the first frame; no
        // audio is decoded.
        long rate = 0;
        int channels = 0;
        int encoding = 0;
        mpg123_getformat(handle_, &rate, &channels, &encoding);
        mpg123_id3v1* v1 = nullptr;
        mpg123_id3v2* v2 = nullptr;
        if ((mpg123_meta_check(handle_) & MPG123_ID3) != 0 &&
            mpg123_id3(handle_, &v1, &v2) == MPG123_OK) {
            if (v2 != nullptr) {
                found.title = fromVersion2(v2->title);
                found.artist = fromVersion2(v2->artist);
            }
            if (v1 != nullptr && found.title.empty() && found.artist.empty()) {
                found.title = fromVersion1(v1->title, sizeof v1->title);
                found.artist = fromVersion1(v1->artist, sizeof v1->artist);
            }
        }
        mpg123_close(handle_);
    }
    ::close(file);
    return found;
}
