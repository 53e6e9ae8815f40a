#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

// Replacing a file so that a crash, a full disk or a power cut leaves either the old file or the
// new one whole, never a mix: the bytes go to "NAME.XXXXXX" beside it, reach the disk, and are
// renamed over it.

// Returns no error, or why the file was not replaced (the old file is then untouched and no
// temporary file is left). A symbolic link is followed, so the file it names is replaced.
// Thread: any but the audio thread (it writes and waits for the disk).
std::error_code writeFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// Removes the temporary files a save of this file left when it was interrupted (those named
// "NAME." and six letters or digits, beside it). Thread: main, before the file is saved.
void removeLeftoverTemporaries(const std::filesystem::path& file);
