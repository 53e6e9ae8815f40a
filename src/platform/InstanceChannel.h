#pragma once

#include <QLocalServer>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// The local socket through which a second start hands its command line to the running Spinora,
// beside the instance lock and open to its user only. Main thread.
class InstanceServer {
  public:
    // Called with the files of each request, in their order (absolute paths).
    using Request = std::function<void(const std::vector<std::string>& files)>;

    explicit InstanceServer(Request request);
    // Listens at the socket, replacing one a crashed run left: only the holder of the lock
    // listens. Returns an empty string, or why it cannot.
    std::string listen(const std::filesystem::path& socket);

  private:
    void accept();

    Request request_;
    QLocalServer server_;
};

// The second start's side: asks whoever listens at the socket to show its window and load the
// files. False when no one took the request within the time given (ms).
bool askRunningInstance(const std::filesystem::path& socket, const std::vector<std::string>& files,
                        int timeoutMs);
