// Playlist files: whatever a file holds, its entries written as an .m3u read back the same.
#include <array>

#include "FuzzFiles.h"
#include "engine/library/PlaylistFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    static constexpr std::array<const char*, 3> kNames = {"list.m3u", "list.m3u8", "list.pls"};
    const std::string path = writeFuzzFile(kNames[data[0] % kNames.size()], data + 1, size - 1);
    const std::vector<std::string> entries = readPlaylistEntries(path);

    const std::string copy = (fuzzFolder() / "copy.m3u").string();
    const std::error_code written = writeM3u(copy, entries);
    if (entryWithLineBreak(entries) != nullptr) {
        FUZZ_CHECK(written == std::errc::invalid_argument);
        return 0;
    }
    FUZZ_CHECK(!written);
    FUZZ_CHECK(readPlaylistEntries(copy) == entries);
    return 0;
}
