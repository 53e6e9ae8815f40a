#include "ui/deck/DeckArea.h"

#include <QFontMetrics>
#include <QPainter>

#include "core/SharedValue.h"
#include "engine/deck/Deck.h"
#include "engine/library/BrowserItem.h"
#include "ui/display/Skin.h"
#include "ui/display/Surface.h"

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

DeckArea::DeckArea(Host& host, QImage& backBuffer, const Skin& skin, const QFont& smallFont,
                   const QFont& mediumFont, const QFont& largeFont)
    : host_(host),
      backBuffer_(backBuffer),
      skin_(skin),
      smallFont_(smallFont),
      mediumFont_(mediumFont),
      largeFont_(largeFont) {}

void DeckArea::restore(const QRect& rect) {
    QPainter painter(&backBuffer_);
    painter.drawImage(rect.topLeft(), skin_.deckArea[host_.currentDeck()], rect);
}

void DeckArea::invalidate(const QRect& rect) {
    host_.invalidate(rect.translated(0, kDeckAreaTop));
}

void DeckArea::periodicUpdate() {
    if (!host_.windowActive()) {
        return;
    }
    for (int deck = 0; deck < 2; ++deck) {
        drawNeedle(deck);
    }
    for (int deck = 0; deck < 2; ++deck) {
        // Drawn again only when changed: a program at rest paints nothing.
        PanelTexts texts = panelTexts(deck);
        if (!shownTexts_[deck] || texts.bpm != shownTexts_[deck]->bpm) {
            drawBpmPanel(deck, texts.bpm);
        }
        if (!shownTexts_[deck] || texts != *shownTexts_[deck]) {
            drawTimes(deck, texts);
            shownTexts_[deck] = std::move(texts);
        }
    }
    if (host_.pitchRedrawAsked()) {
        for (int deck = 0; deck < 2; ++deck) {
            drawPitch(deck, host_.deck(deck).pitch());
        }
    }
}

DeckArea::PanelTexts DeckArea::panelTexts(int index) const {
    const Deck& deck = host_.deck(index);
    const TrackInfoRecord& record = deck.record();
    PanelTexts texts;
    texts.status = host_.deckStatus(index);
    if (texts.status == kDeckNormal) {
        const TimeInputs in{deck.position(),
                            deck.durationSeconds(),
                            deck.pitch(),
                            loadShared(record.cuePosition),
                            loadShared(record.startPosition),
                            loadShared(record.endPosition)};
        if (in.durationSeconds > 0) {
            texts.times = timePanelLines(in);
        }
    }
    if (deck.isLoaded()) {
        texts.bpm = bpmPanelLines(deck.position(), deck.beatDetector().localBpm(),
                                  loadShared(record.bpm), deck.pitch());
    }
    return texts;
}

void DeckArea::drawTimePanel(int index) {
    PanelTexts texts = panelTexts(index);
    drawTimes(index, texts);
    drawBpmPanel(index, texts.bpm);
    shownTexts_[index] = std::move(texts);
}

void DeckArea::drawTimes(int index, const PanelTexts& texts) {
    const QRect panel = kTimePanel[index];
    restore(panel);
    {
        QPainter painter(&backBuffer_);
        painter.setFont(mediumFont_);
        painter.setPen(kPanelText);
        painter.setClipRect(panel);
        for (const PanelLine& line : texts.times) {
            painter.drawText(QRect(panel.left(), panel.top() + line.offset, panel.width(),
                                   panel.height() - line.offset),
                             Qt::AlignRight | Qt::AlignTop, QString::fromStdString(line.text));
        }
        if (const char* message = deckStatusText(texts.status)) {
            // Centred both ways: the text's height is measured first.
            const QString text = QString::fromLatin1(message);
            const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
            const QRect measured = QFontMetrics(mediumFont_).boundingRect(panel, flags, text);
            painter.drawText(panel.translated(0, (panel.height() - measured.height()) / 2), flags,
                             text);
        }
    }
    invalidate(panel);
}

void DeckArea::drawBpmPanel(int index, const std::vector<PanelLine>& lines) {
    const QRect panel = kBpmPanel[index];
    restore(panel);
    if (!lines.empty()) {
        QPainter painter(&backBuffer_);
        painter.setFont(largeFont_);
        painter.setPen(kPanelText);
        painter.setClipRect(panel);
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
    const BrowserItem* item = host_.loadedItem(index);
    if (item == nullptr || (item->artist.empty() && item->title.empty())) {
        return;
    }
    {
        QPainter painter(&backBuffer_);
        painter.setFont(mediumFont_);
        painter.setClipRect(panel);
        const QFontMetrics metrics(mediumFont_);
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
    const PanelPoint end = needleEnd(index, host_.deck(index).position());
    if (end == needles_[index]) {
        return;
    }
    const QRect disc = kDisc[index];
    restore(disc);
    {
        QPainter painter(&backBuffer_);
        painter.setPen(Qt::white);
        painter.drawLine(disc.center(), QPoint(end.x, end.y));
    }
    invalidate(disc);
    needles_[index] = end;
}

void DeckArea::drawPitch(int index, int pitch) {
    host_.pitchRedrawn();
    constexpr int kMarkerSize = 16;
    if (markers_[index].x != 0) {
        const QRect old(markers_[index].x, markers_[index].y, kMarkerSize, kMarkerSize);
        restore(old);
        invalidate(old);
    }
    const PanelPoint at = pitchMarkerTopLeft(index, pitch);
    drawSprite(backBuffer_, QPoint(at.x, at.y), skin_.marker, skin_.markerMask);
    markers_[index] = at;
    invalidate(QRect(at.x, at.y, kMarkerSize, kMarkerSize));

    const QRect textRect = kPitchText[index];
    restore(textRect);
    {
        QPainter painter(&backBuffer_);
        painter.setFont(smallFont_);
        painter.setPen(Qt::black);
        painter.setClipRect(textRect);
        painter.drawText(textRect, Qt::AlignHCenter | Qt::AlignTop,
                         QString::fromStdString(pitchText(pitch)));
    }
    invalidate(textRect);
}

void DeckArea::drawMixPad() {
    restore(kMixPad);
    const VolumePair volumes = host_.deckVolumes();
    const PanelPoint at = puckTopLeft(volumes.deck0, volumes.deck1);
    drawSprite(backBuffer_, QPoint(at.x, at.y), skin_.puck, skin_.puckMask);
    if (const auto ring = host_.joystickRing()) {
        for (const PanelPoint& p : joystickRing(ring->deck0, ring->deck1)) {
            backBuffer_.setPixel(p.x, p.y, kJoystickRing.rgb());
        }
    }
    invalidate(kMixPad);
}

void DeckArea::repaintAll() {
    {
        QPainter painter(&backBuffer_);
        painter.drawImage(0, 0, skin_.deckArea[host_.currentDeck()]);
    }
    needles_ = {{{73, 73}, {73, 73}}};
    markers_ = {{{0, 0}, {0, 0}}};
    for (int deck = 0; deck < 2; ++deck) {
        drawNeedle(deck);
    }
    for (int deck = 0; deck < 2; ++deck) {
        drawPitch(deck, host_.deck(deck).pitch());
    }
    drawMixPad();
    for (int deck = 0; deck < 2; ++deck) {
        drawTimePanel(deck);
    }
    for (int deck = 0; deck < 2; ++deck) {
        drawTitlePanel(deck);
    }
    host_.invalidate(QRect(0, kDeckAreaTop, 800, 300));
}

void DeckArea::flashButton(int i) {
    if (flashed_ != -1) {
        releaseButton();
    }
    const QRect rect = pressedRect(i);
    if (rect.top() < 0) {
        // A window button: straight onto the screen, from the pressed tab strip.
        flashed_ = i;
        host_.invalidate(rect.translated(0, kDeckAreaTop));
        return;
    }
    {
        QPainter painter(&backBuffer_);
        painter.drawImage(rect.topLeft(), skin_.pressedDecks[host_.currentDeck()],
                          rect.translated(-200, 0));
    }
    invalidate(rect);
    flashed_ = i;
}

void DeckArea::releaseButton() {
    const QRect rect = pressedRect(flashed_);
    if (rect.top() >= 0) {
        restore(rect);
    }
    invalidate(rect);
    flashed_ = -1;
}
