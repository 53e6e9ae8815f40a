#include "core/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kTemplateLetters = 6;  // mkstemp's "XXXXXX"

std::error_code lastError() {
    return {errno, std::generic_category()};
}

std::error_code writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return lastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

// The new file keeps the old one's permissions; a first one is an ordinary user file (mkstemp
// makes it private).
mode_t modeFor(const fs::path& file) {
    struct stat old {};
    return ::stat(file.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
}

// So that the rename itself survives a power cut.
void syncFolder(const fs::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

std::error_code writeFileAtomically(const fs::path& file, std::string_view bytes) {
    AtomicFileWriter writer(file);
    writer.write(bytes);
    return writer.commit();
}

AtomicFileWriter::AtomicFileWriter(const fs::path& file) {
    const bool link = fs::is_symlink(fs::symlink_status(file, error_));
    target_ = link ? fs::canonical(file, error_) : file;
    if (link && error_) {
        return;
    }
    error_.clear();
    temp_ = target_.string() + ".XXXXXX";
    fd_ = ::mkostemp(temp_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        error_ = lastError();
        temp_.clear();
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
    }
}

std::error_code AtomicFileWriter::write(std::string_view bytes) {
    if (!error_ && fd_ >= 0) {
        error_ = writeAll(fd_, bytes);
    }
    return error_;
}

std::error_code AtomicFileWriter::commit() {
    if (fd_ < 0) {
        return error_ ? error_ : std::make_error_code(std::errc::bad_file_descriptor);
    }
    if (!error_ && ::fchmod(fd_, modeFor(target_)) != 0) {
        error_ = lastError();
    }
    if (!error_ && ::fsync(fd_) != 0) {
        error_ = lastError();
    }
    if (::close(fd_) != 0 && !error_) {
        error_ = lastError();
    }
    fd_ = -1;
    if (!error_ && ::rename(temp_.c_str(), target_.c_str()) != 0) {
        error_ = lastError();
    }
    if (error_) {
        return error_;  // the destructor removes the temporary file
    }
    temp_.clear();
    syncFolder(target_.parent_path());
    return {};
}

void removeLeftoverTemporaries(const fs::path& file) {
    const std::string prefix = file.filename().string() + ".";
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const bool temporary =
            name.size() == prefix.size() + kTemplateLetters && name.starts_with(prefix) &&
            std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                        [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
        std::error_code ignored;
        if (temporary && it->is_regular_file(ignored)) {
            fs::remove(it->path(), ignored);
        }
    }
}
