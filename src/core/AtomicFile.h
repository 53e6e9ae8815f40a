#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

// Replacing a file so that a crash, a full disk or a power cut leaves either the old file or the
// new one whole, never a mix: the bytes go to "NAME.XXXXXX" beside it, reach the disk, and are
// renamed over it.

// Returns no error, or why the file was not replaced (the old file is then untouched and no
// temporary file is left). A symbolic link is followed, so the file it names is replaced.
// Thread: any but the audio thread (it writes and waits for the disk).
std::error_code writeFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// The same for a file written piece by piece: the pieces go to the temporary file, and only
// commit() puts it under the final name. Destroyed uncommitted, it removes the temporary file.
// Thread: any but the audio thread; one thread at a time.
class AtomicFileWriter {
  public:
    // Creates the temporary file; error() says why it could not be.
    explicit AtomicFileWriter(const std::filesystem::path& file);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // The temporary file's descriptor, -1 when it could not be created or once committed.
    int descriptor() const { return fd_; }
    std::error_code error() const { return error_; }
    // Appends at the descriptor's offset; the first failure is kept and later writes do nothing.
    std::error_code write(std::string_view bytes);
    // Brings the file to the disk and renames it over the final name; the first error met, if
    // any, and then the temporary file is gone.
    std::error_code commit();

  private:
    std::filesystem::path target_;
    std::string temp_;
    int fd_ = -1;
    std::error_code error_;
};

// Removes the temporary files a save of this file left when it was interrupted (those named
// "NAME." and six letters or digits, beside it). Thread: main, before the file is saved.
void removeLeftoverTemporaries(const std::filesystem::path& file);
