#pragma once

#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <memory>

#include "DeckLoading.h"
#include "FakeDecoder.h"
#include "Mp3Fixtures.h"
#include "TestPlayback.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "core/Messages.h"
#include "engine/deck/Deck.h"
#include "platform/IniSettingsFile.h"
#include "ui/Dialogs.h"
#include "ui/KeyFilter.h"
#include "ui/deck/DeckControls.h"
#include "ui/deck/TrackLoader.h"

// Dialogs that answer as the test says and remember what they were asked.
class FakeDialogs : public Dialogs {
  public:
    void error(const QString& text) override { asked.push_back(text); }
    bool question(const QString& text) override {
        asked.push_back(text);
        return answer;
    }
    bool warning(const QString& text) override { return question(text); }
    QString openFile(const QString&, const QString&) override { return chosenFile; }
    QString saveFile(const QString&, const QString&, const QString&) override { return chosenFile; }

    QStringList asked;
    bool answer = true;
    QString chosenFile;
};

// A started Application in a window of its own, with a data folder (the working directory while
// it lives), devices on test clocks and, by default, scripted decoders. The audio thread is
// stopped: the test serves the decks itself.
class AppHarness {
  public:
    // prepare writes what the data folder holds before the start (settings in "spinora.ini");
    // shown, when given, replaces the scripted dialogs; windowed false lets the settings choose.
    // The track info store is saved storeSaveDelay after it last changed. The tracks without a
    // record are analysed in the background only when backgroundAnalysis is set.
    explicit AppHarness(
        const std::function<void(TempDir&)>& prepare = [](TempDir&) {},
        SoundSystem::DecoderFactory decoders =
            [] {
                return std::make_unique<FakeDecoder>(
                    FakeTrack{.frames = 1225, .lengthSeconds = 32});
            },
        Dialogs* shown = nullptr, bool windowed = true,
        std::chrono::milliseconds storeSaveDelay = std::chrono::seconds(3),
        bool backgroundAnalysis = false)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir.path());
        prepare(dir);
        settingsFile = std::make_unique<IniSettingsFile>(
            QString::fromStdString((dir.path() / "spinora.ini").string()));
        AppEnvironment environment{
            audio,    *settingsFile, shown != nullptr ? *shown : dialogs, std::move(decoders),
            windowed, storeSaveDelay};
        if (backgroundAnalysis) {
            environment.backgroundAnalysis = BackgroundAnalyser::Priority::kNormal;  // busy machine
        } else {
            environment.backgroundAnalysis.reset();  // the decoders made are the decks' alone
        }
        app = std::make_unique<Application>(std::move(environment));
        window = std::make_unique<MainWindow>(*app);
        keys_ = std::make_unique<KeyFilter>(
            *window, [this](int key) { return app->ready() && app->input().onKeyDown(key); });
        qApp->installEventFilter(keys_.get());
        started = app->initialise(*window) == 0;
        if (started) {
            app->sound().audioThread()->stop();
            app->deckUi().active = true;
        }
    }

    ~AppHarness() {
        keys_.reset();
        app->shutdown();
        window.reset();
        app.reset();
        std::filesystem::current_path(previous_);
    }

    Deck& deck(int index) { return app->deck(index); }
    // The title of the track on the deck; empty when none.
    std::string loaded(int deck) const {
        const BrowserItem* item = app->loader().loadedItem(deck);
        return item != nullptr ? item->title : "";
    }

    // Service steps of both decks, as the audio thread would run them, once the files they were
    // asked to load are opened.
    void serve(int steps = 1) {
        awaitOpened(deck(0));
        awaitOpened(deck(1));
        for (int i = 0; i < steps; ++i) {
            deck(0).serviceStep();
            deck(1).serviceStep();
        }
    }

    TempDir dir;
    TestBackend audio;
    FakeDialogs dialogs;
    std::unique_ptr<IniSettingsFile> settingsFile;
    std::unique_ptr<Application> app;
    std::unique_ptr<MainWindow> window;
    bool started = false;

    // A key as a person presses it: through the window.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window->window()->windowHandle(), static_cast<Qt::Key>(key), modifiers);
    }
    long dispatch(int message, unsigned long wParam = 0, long lParam = 0) {
        return app->dispatch(message, wParam, lParam);
    }
    void click(int x, int y) {
        dispatch(msg::kLeftButtonDown, 0, msg::pointParam(x, y));
        dispatch(msg::kLeftButtonUp, 0, msg::pointParam(x, y));
    }

  private:
    std::filesystem::path previous_;
    std::unique_ptr<KeyFilter> keys_;
};
