#pragma once

#include <QImage>
#include <QProcess>
#include <QStringList>
#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "Mp3Fixtures.h"
#include "Waiting.h"

// The real spinora on the X display of the test (xvfb-run), with a home of its own, driven as a
// person would with xdotool, its screen taken with ImageMagick's import and its sound written by
// SDL's disk driver. These tests take real time.
class Session {
  public:
    Session();
    ~Session();

    std::filesystem::path home() const { return dir.path() / "home"; }
    std::filesystem::path data() const { return dir.path() / "data"; }
    std::filesystem::path settingsFile() const {
        return home() / ".config" / "spinora" / "spinora.ini";
    }
    void writeSettings(const std::string& text) const;

    // Starts spinora (the build's, or program) and waits for its window; false when no window came.
    bool start(const QStringList& arguments = {}, const QString& program = {});
    // Waits for a condition, looking every 50 ms (a look may take a screenshot), for at most
    // `seconds`; whether it came.
    template <class Condition>
    static bool waitUntil(Condition done, int seconds = 20) {
        return waitFor(std::move(done), std::chrono::seconds(seconds),
                       std::chrono::milliseconds(50));
    }
    // Runs a program of the build with the session's environment; its exit status.
    int run(const QString& program, const QStringList& arguments);
    // Waits for spinora to end; its exit status, or -1 when it did not end in time.
    int waitForExit(int milliseconds = 10000);

    // Input as a person gives it; what it leads to is for the caller to wait for.
    void key(const QString& keys) const;
    void click(int x, int y) const;
    QImage screenshot() const;
    // Whether the last `frames` stereo frames played are quiet.
    bool quietAtTheEnd(int frames) const;

    // The sound played so far, stereo 16-bit samples.
    std::vector<int16_t> played() const;

    TempDir dir;
    QProcess spinora;

  private:
    QProcessEnvironment environment() const;
    void xdotool(const QStringList& arguments) const;
};

// Pixels of a rectangle of the image close to a colour.
int pixelsNear(const QImage& image, const QRect& rect, QRgb colour, int tolerance = 40);
