#include "engine/sound/OfflineBackend.h"

std::unique_ptr<PlaybackStream> OfflineBackend::open(const std::string&, MixSource& source,
                                                     DeviceError& error) {
    error = DeviceError::None;
    auto stream = std::make_unique<OfflineStream>(source);
    stream_ = stream.get();
    return stream;
}

std::string OfflineBackend::deviceName(int) {
    return {};  // the default device alone
}
