#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "Mp3Fixtures.h"

// A file of the build put back as it was found when this goes: a test that installs must not make
// the build forget what a real installation wrote (its manifest, the DESTDIR it went below).
class KeptFile {
  public:
    explicit KeptFile(std::filesystem::path file)
        : file_(std::move(file)),
          existed_(std::filesystem::exists(file_)),
          text_(fileText(file_)) {}
    ~KeptFile() {
        if (existed_) {
            std::ofstream(file_, std::ios::binary) << text_;
        } else {
            std::filesystem::remove(file_);
        }
    }
    KeptFile(const KeptFile&) = delete;
    KeptFile& operator=(const KeptFile&) = delete;

  private:
    std::filesystem::path file_;
    bool existed_;
    std::string text_;
};
