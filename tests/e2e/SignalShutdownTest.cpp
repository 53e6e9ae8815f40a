// Ctrl+C or a termination ends Spinora as closing it does: what it learned is kept.
#include <gtest/gtest.h>

#include <csignal>

#include "DisplayTest.h"

namespace {

using SignalShutdownTest = DisplayTest;

TEST_F(SignalShutdownTest, TerminationAndInterruptSaveTheStoreAndTheSettings) {
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        Session s;
        // Only the screen choice: the browser's widths are new to the file when it is written.
        s.writeSettings("[General]\nUse DirectDraw=0\n");
        const std::string track =
            s.dir.write("music/Gamma - Third Tune.mp3", encodeMp3(drums(120, 10)));
        ASSERT_TRUE(s.start({QString::fromStdString(track)}));
        const QRect title(76, 562, 145, 26);
        ASSERT_TRUE(s.waitUntil(
            [&] { return pixelsNear(s.screenshot(), title, qRgb(0, 255, 0), 60) > 30; }));
        const auto store = s.data() / "Spinora.idb";
        ASSERT_EQ(std::filesystem::exists(store) ? std::filesystem::file_size(store) : 0, 0u);

        ::kill(static_cast<pid_t>(s.spinora.processId()), signal);
        EXPECT_EQ(s.waitForExit(), 0);
        EXPECT_EQ(std::filesystem::file_size(store), 48u);  // the deck's record
        const std::string settings = fileText(s.settingsFile());
        EXPECT_NE(settings.find("DirectDraw=0"), std::string::npos);
        EXPECT_NE(settings.find("C0=241"), std::string::npos) << settings;
    }
}

}  // namespace
