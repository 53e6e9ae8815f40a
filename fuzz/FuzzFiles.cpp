#include "FuzzFiles.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace {

struct Folder {
    Folder() {
        // In memory when the system has /dev/shm: the saves' fsync is then free.
        std::error_code error;
        const fs::path memory = "/dev/shm";
        const fs::path base = fs::is_directory(memory, error) ? memory : fs::temp_directory_path();
        path = base / ("spinora-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(path);
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

}  // namespace

const fs::path& fuzzFolder() {
    static const Folder folder;
    return folder.path;
}

std::string writeFuzzFile(const std::string& name, std::string_view bytes) {
    const fs::path path = fuzzFolder() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        fuzzFailure("cannot write the input file");
    }
    return path.string();
}

std::string writeFuzzFile(const std::string& name, const uint8_t* data, std::size_t size) {
    return writeFuzzFile(name, std::string_view(reinterpret_cast<const char*>(data), size));
}

void fuzzFailure(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}
