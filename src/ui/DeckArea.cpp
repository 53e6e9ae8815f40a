#include "ui/DeckArea.h"

#include <QFontMetrics>
#include <QPainter>

#include "app/Application.h"
#include "browser/BrowserItem.h"
#include "deck/Deck.h"
#include "deck/SharedValue.h"
#include "display/Surface.h"

namespace {

constexpr int kDeckAreaTop = 300;
const QColor kPanelText(255, 255, 0);
const QColor kTitleColour(0, 255, 0);
const QColor kArtistColour(0, 128, 0);
const QColor kJoystickRing(64, 63, 192);
constexpr int kTitleBand = 13;

constexpr QRect kTabs[6] = {QRect(25, 0, 72, 50),  QRect(101, 0, 62, 50), QRect(173, 0, 62, 50),
                            QRect(246, 0, 49, 50), QRect(309, 0, 51, 50), QRect(371, 0, 46, 50)};

// left, top, right, bottom (right and bottom excluded)
constexpr int kPressed[18][4] = {
    {233, 230, 294, 292}, {267, 189, 304, 226}, {282, 152, 318, 189},   {283, 113, 318, 148},
    {275, 74, 310, 110},  {314, 86, 347, 121},  {295, 14, 356, 76},     {507, 229, 569, 292},
    {499, 189, 535, 226}, {485, 152, 521, 189}, {486, 114, 521, 149},   {492, 75, 529, 111},
    {453, 85, 488, 121},  {447, 14, 508, 76},   {748, -300, 771, -275}, {772, -300, 796, -275},
    {227, 154, 245, 170}, {554, 154, 572, 170}};

}  // namespace

QRect DeckArea::tabRect(int page) {
    return kTabs[page];
}

QRect DeckArea::pressedRect(int i) {
    const int* r = kPressed[i];
    return QRect(QPoint(r[0], r[1]), QPoint(r[2] - 1, r[3] - 1));
}

DeckArea::DeckArea(Application& app) : app_(app) {}

void DeckArea::restore(const QRect& rect) {
    QPainter painter(&app_.backBuffer);
    painter.drawImage(rect.topLeft(), app_.skin.deckArea[app_.selectedDeck], rect);
}

void DeckArea::invalidate(const QRect& rect) {
    app_.invalidate(rect.translated(0, kDeckAreaTop));
}

void DeckArea::periodicUpdate() {
    if (!app_.active) {
        return;
    }
    for (int deck = 0; deck < 2; ++deck) {
        drawNeedle(deck);
    }
    for (int deck = 0; deck < 2; ++deck) {
        drawTimePanel(deck);
    }
    if (app_.engine.deckRedraw.load() != 0) {
        for (int deck = 0; deck < 2; ++deck) {
            drawPitch(deck, app_.deck(deck).pitch());
        }
    }
}

void DeckArea::drawTimePanel(int index) {
    const QRect panel = kTimePanel[index];
    const Deck& deck = app_.deck(index);
    const TrackInfoRecord& record = deck.record();
    restore(panel);
    {
        QPainter painter(&app_.backBuffer);
        painter.setFont(app_.mediumFont);
        painter.setPen(kPanelText);
        painter.setClipRect(panel);
        const int status = app_.engine.deckStatus[index];
        if (status == kDeckNormal) {
            const TimeInputs in{deck.position(),
                                deck.durationSeconds(),
                                deck.pitch(),
                                loadShared(record.cuePosition),
                                loadShared(record.startPosition),
                                loadShared(record.endPosition)};
            if (in.durationSeconds > 0) {
                for (const PanelLine& line : timePanelLines(in)) {
                    painter.drawText(QRect(panel.left(), panel.top() + line.offset, panel.width(),
                                           panel.height() - line.offset),
                                     Qt::AlignRight | Qt::AlignTop,
                                     QString::fromStdString(line.text));
                }
            }
        } else if (const char* message = deckStatusText(status)) {
            // Centred both ways: the text's height is measured first.
            const QString text = QString::fromLatin1(message);
            const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
            const QRect measured = QFontMetrics(app_.mediumFont).boundingRect(panel, flags, text);
            painter.drawText(panel.translated(0, (panel.height() - measured.height()) / 2), flags,
                             text);
        }
    }
    invalidate(panel);
    drawBpmPanel(index);
}

void DeckArea::drawBpmPanel(int index) {
    const QRect panel = kBpmPanel[index];
    const Deck& deck = app_.deck(index);
    restore(panel);
    if (deck.isLoaded()) {
        QPainter painter(&app_.backBuffer);
        painter.setFont(app_.largeFont);
        painter.setPen(kPanelText);
        painter.setClipRect(panel);
        const auto lines = bpmPanelLines(deck.position(), deck.beatDetector().localBpm(),
                                         loadShared(deck.record().bpm), deck.pitch());
        for (const PanelLine& line : lines) {
            painter.drawText(panel.adjusted(0, line.offset, 0, 0), Qt::AlignRight | Qt::AlignTop,
                             QString::fromStdString(line.text));
        }
    }
    invalidate(panel);
}

void DeckArea::drawTitlePanel(int index) {
    const QRect panel = kTitlePanel[index];
    restore(panel);
    const BrowserItem* item = app_.lastLoadedItem[index].get();
    if (item == nullptr || (item->artist.empty() && item->title.empty())) {
        return;
    }
    {
        QPainter painter(&app_.backBuffer);
        painter.setFont(app_.mediumFont);
        painter.setClipRect(panel);
        const QFontMetrics metrics(app_.mediumFont);
        const QString title = QString::fromStdString(item->title);
        if (!item->artist.empty()) {
            const QRect titleRect = panel.translated(0, kTitleBand);
            painter.setPen(kTitleColour);
            painter.drawText(titleRect, Qt::AlignHCenter | Qt::AlignTop,
                             metrics.elidedText(title, Qt::ElideRight, titleRect.width()));
            const QRect artistRect(panel.left(), panel.top(), panel.width(), kTitleBand);
            painter.setPen(kArtistColour);
            painter.drawText(artistRect, Qt::AlignHCenter | Qt::AlignTop,
                             metrics.elidedText(QString::fromStdString(item->artist),
                                                Qt::ElideRight, artistRect.width()));
        } else {
            painter.setPen(kTitleColour);
            painter.drawText(panel, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, title);
        }
    }
    invalidate(panel);
}

void DeckArea::drawNeedle(int index) {
    const PanelPoint end = needleEnd(index, app_.deck(index).position());
    if (end == needles_[index]) {
        return;
    }
    const QRect disc = kDisc[index];
    restore(disc);
    {
        QPainter painter(&app_.backBuffer);
        painter.setPen(Qt::white);
        painter.drawLine(disc.center(), QPoint(end.x, end.y));
    }
    invalidate(disc);
    needles_[index] = end;
}

void DeckArea::drawPitch(int index, int pitch) {
    app_.engine.deckRedraw = 0;
    constexpr int kMarkerSize = 16;
    if (markers_[index].x != 0) {
        const QRect old(markers_[index].x, markers_[index].y, kMarkerSize, kMarkerSize);
        restore(old);
        invalidate(old);
    }
    const PanelPoint at = pitchMarkerTopLeft(index, pitch);
    drawSprite(app_.backBuffer, QPoint(at.x, at.y), app_.skin.marker, app_.skin.markerMask);
    markers_[index] = at;
    invalidate(QRect(at.x, at.y, kMarkerSize, kMarkerSize));

    const QRect textRect = kPitchText[index];
    restore(textRect);
    {
        QPainter painter(&app_.backBuffer);
        painter.setFont(app_.smallFont);
        painter.setPen(Qt::black);
        painter.setClipRect(textRect);
        painter.drawText(textRect, Qt::AlignHCenter | Qt::AlignTop,
                         QString::fromStdString(pitchText(pitch)));
    }
    invalidate(textRect);
}

void DeckArea::drawMixPad() {
    restore(kMixPad);
    const PanelPoint at = puckTopLeft(app_.deckVolume[0], app_.deckVolume[1]);
    drawSprite(app_.backBuffer, QPoint(at.x, at.y), app_.skin.puck, app_.skin.puckMask);
    if (app_.joystickEnabled) {
        for (const PanelPoint& p : joystickRing(app_.joystickVolume[0], app_.joystickVolume[1])) {
            app_.backBuffer.setPixel(p.x, p.y, kJoystickRing.rgb());
        }
    }
    invalidate(kMixPad);
}

void DeckArea::repaintAll() {
    {
        QPainter painter(&app_.backBuffer);
        painter.drawImage(0, 0, app_.skin.deckArea[app_.selectedDeck]);
    }
    needles_ = {{{73, 73}, {73, 73}}};
    markers_ = {{{0, 0}, {0, 0}}};
    for (int deck = 0; deck < 2; ++deck) {
        drawNeedle(deck);
    }
    for (int deck = 0; deck < 2; ++deck) {
        drawPitch(deck, app_.deck(deck).pitch());
    }
    drawMixPad();
    for (int deck = 0; deck < 2; ++deck) {
        drawTimePanel(deck);
    }
    for (int deck = 0; deck < 2; ++deck) {
        drawTitlePanel(deck);
    }
    app_.invalidate(QRect(0, kDeckAreaTop, 800, 300));
}

void DeckArea::flashButton(int i) {
    if (app_.flashedButton != -1) {
        releaseButton();
    }
    const QRect rect = pressedRect(i);
    if (rect.top() < 0) {
        // A window button: straight onto the screen, from the pressed tab strip.
        app_.flashedButton = i;
        app_.invalidate(rect.translated(0, kDeckAreaTop));
        return;
    }
    {
        QPainter painter(&app_.backBuffer);
        painter.drawImage(rect.topLeft(), app_.skin.pressedDecks[app_.selectedDeck],
                          rect.translated(-200, 0));
    }
    invalidate(rect);
    app_.flashedButton = i;
}

void DeckArea::releaseButton() {
    const QRect rect = pressedRect(app_.flashedButton);
    if (rect.top() >= 0) {
        restore(rect);
    }
    invalidate(rect);
    app_.flashedButton = -1;
}
