// The menu of a deck's BPM display corrects a tempo the detector took for a related one.
#include <gtest/gtest.h>

#include <QMenu>

#include "AppHarness.h"
#include "core/SharedValue.h"
#include "platform/Mpg123Decoder.h"

namespace {

QMenu* openMenu(AppHarness& h, QPoint at) {
    QTest::mouseClick(h.window.get(), Qt::RightButton, Qt::NoModifier, at);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

void choose(QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text) {
            QTest::mouseClick(&menu, Qt::LeftButton, Qt::NoModifier,
                              menu.actionGeometry(action).center());
            return;
        }
    }
    ADD_FAILURE() << "no entry " << text.toStdString();
}

TEST(BpmMenuTest, RightClickOnTheBpmDisplayDoublesTheTempoAndLocksIt) {
    AppHarness h([](TempDir&) {}, makeMpg123Decoder);
    ASSERT_TRUE(h.started);
    h.window->show();
    EXPECT_EQ(openMenu(h, QPoint(220, 330)), nullptr);  // no track, no tempo to fix

    h.deck(1).requestLoad(h.dir.write("Beat.mp3", encodeMp3(drums(120, 8.0))));
    h.serve(120);  // decoded well ahead: the local estimate is there
    storeShared(h.deck(1).record().bpm, 60.5f);
    storeShared(h.deck(1).record().bpmVotes, 40);
    ASSERT_NEAR(h.deck(1).beatDetector().localBpm(), 120.0f, 1.0f);

    QMenu* menu = openMenu(h, QPoint(570, 330));
    ASSERT_NE(menu, nullptr);
    choose(*menu, QStringLiteral("x2"));
    EXPECT_EQ(h.deck(1).record().bpm, 121.0f);
    EXPECT_EQ(h.deck(1).record().bpmVotes, kLockedBpmVotes);
}

}  // namespace
