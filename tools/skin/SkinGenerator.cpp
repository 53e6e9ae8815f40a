// Draws every picture Spinora carries, at build time: the splash, the upper skin and its pressed
// tab strip, both deck-area variants and their pressed buttons, the sprites, the browser's button
// pictures and image strip, the help picture, the cursors and the icon. Usage: spinora-skin
// OUTPUT_FOLDER; with --icons it draws the icon theme's files for the desktop instead.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSvgGenerator>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "SkinPainter.h"
#include "engine/panel/ControlGeometry.h"

using namespace skin;

namespace {

QString outputFolder;

// The sizes of the icon theme's pictures, in pixels.
constexpr int kThemeIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

void save(const QImage& image, const QString& name) {
    const QString path = outputFolder + QLatin1Char('/') + name;
    const bool ok =
        name.endsWith(QLatin1String(".raw")) ? writeRaw555(image, path) : image.save(path);
    if (!ok) {
        std::fprintf(stderr, "spinora-skin: cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

QImage blank(int width, int height, QImage::Format format = QImage::Format_ARGB32_Premultiplied) {
    QImage image(width, height, format);
    image.fill(Qt::transparent);
    return image;
}

// --- The deck area ---------------------------------------------------------------------------

// Where each part of a deck sits, in deck-area coordinates.
struct DeckLayout {
    QPointF disc;
    QRectF time, bpm, title;
    QPointF pitchCentre;
    double side;  // +1: the pitch arc opens to the right of its centre (deck 0), -1 to the left
    QRectF bpmAdopt, pitchReset, pitchText;
    QPointF select, mem, stop, pause, play, skip, sync;
    QString letter;
};

// The deck area is drawn in its own coordinates: screen y minus its top.
constexpr int kDeckAreaTop = 300;

QPointF centreOf(const Circle& c) {
    return QPointF(c.cx, c.cy - kDeckAreaTop);
}

QRectF rectOf(const Box& b) {
    return QRectF(b.left, b.top - kDeckAreaTop, b.right - b.left + 1, b.bottom - b.top + 1);
}

// The controls sit where the window looks for them; the displays are the skin's own.
DeckLayout deckLayout(int deck, QRectF time, QRectF bpm, QRectF title, QRectF pitchText) {
    const DeckControlMap& c = kDeckControls[deck];
    return DeckLayout{centreOf(c.disc),
                      time,
                      bpm,
                      title,
                      QPointF(c.arcCentreX, kArcCentreY - kDeckAreaTop),
                      deck == 0 ? 1.0 : -1.0,
                      rectOf(c.bpmAdopt),
                      rectOf(c.pitchReset),
                      pitchText,
                      centreOf(c.select),
                      centreOf(c.mem),
                      centreOf(c.stop),
                      centreOf(c.pause),
                      centreOf(c.play),
                      centreOf(c.skip),
                      centreOf(c.sync),
                      deck == 0 ? QStringLiteral("A") : QStringLiteral("B")};
}

const DeckLayout kDecks[2] = {
    deckLayout(0, {17, 10, 102, 56}, {174, 9, 108, 40}, {76, 262, 145, 26}, {200, 60, 36, 13}),
    deckLayout(1, {680, 10, 102, 56}, {519, 9, 108, 40}, {577, 262, 145, 26}, {572, 60, 36, 13}),
};

constexpr double kArcLow = -0.95;   // the angle of pitch 4506, +10 %
constexpr double kArcHigh = 0.526;  // the angle of pitch 3686, -10 %

// A point at angle b (radians, counter-clockwise, y up) and radius r from a deck's pitch centre.
QPointF arcPoint(const DeckLayout& d, double b, double r) {
    return d.pitchCentre + QPointF(d.side * r * std::cos(b), -r * std::sin(b));
}

void drawDisc(QPainter& p, const DeckLayout& d, const QColor& accent) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c = d.disc;
    // Platter with strobe dots, outside the 73-pixel record.
    QRadialGradient platter(c, 84);
    platter.setColorAt(0.85, QColor(0x4a, 0x50, 0x5b));
    platter.setColorAt(1.0, QColor(0x15, 0x17, 0x1c));
    p.setPen(Qt::NoPen);
    p.setBrush(platter);
    p.drawEllipse(c, 82, 82);
    p.setBrush(QColor(0xb8, 0xc0, 0xcc));
    for (int i = 0; i < 72; ++i) {
        const double a = i * 2 * M_PI / 72;
        p.drawEllipse(c + QPointF(78 * std::cos(a), 78 * std::sin(a)), 1.1, 1.1);
    }
    // The record: black vinyl with grooves and a sheen.
    QRadialGradient vinyl(c, 73);
    vinyl.setColorAt(0.0, QColor(0x1a, 0x1b, 0x1f));
    vinyl.setColorAt(1.0, QColor(0x08, 0x08, 0x0a));
    p.setBrush(vinyl);
    p.drawEllipse(c, 73, 73);
    p.setBrush(Qt::NoBrush);
    for (double r = 30; r < 72; r += 1.6) {
        const int shade = 22 + static_cast<int>(10 * std::sin(r * 1.7));
        p.setPen(QPen(QColor(shade, shade, shade + 4), 0.6));
        p.drawEllipse(c, r, r);
    }
    QConicalGradient sheen(c, 45);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.12, QColor(255, 255, 255, 38));
    sheen.setColorAt(0.25, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.5, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.62, QColor(255, 255, 255, 30));
    sheen.setColorAt(0.75, QColor(255, 255, 255, 0));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sheen);
    p.drawEllipse(c, 72, 72);
    // Label in the deck's colour, with the deck letter.
    QRadialGradient label(c - QPointF(6, 8), 30);
    label.setColorAt(0.0, accent.lighter(130));
    label.setColorAt(1.0, accent.darker(220));
    p.setBrush(label);
    p.drawEllipse(c, 26, 26);
    p.setPen(QColor(10, 12, 16, 200));
    p.setFont(font(15, true));
    p.drawText(QRectF(c.x() - 26, c.y() - 22, 52, 20), Qt::AlignCenter, d.letter);
    p.setBrush(QColor(0xd0, 0xd5, 0xdd));
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, 3.5, 3.5);
    // The start mark at 12 o'clock.
    p.setPen(QPen(QColor(255, 255, 255, 150), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(0, -73), c + QPointF(0, -66));
    p.restore();
}

void drawPitchArc(QPainter& p, const DeckLayout& d, const QColor& accent) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // The groove the marker runs in, as a thick stroked arc.
    QPainterPath groove;
    const int steps = 60;
    for (int i = 0; i <= steps; ++i) {
        const double b = kArcLow + (kArcHigh - kArcLow) * i / steps;
        const QPointF pt = arcPoint(d, b, 120);
        i == 0 ? groove.moveTo(pt) : groove.lineTo(pt);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x05, 0x06, 0x08), 15, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(groove);
    p.setPen(QPen(QColor(0x2b, 0x30, 0x39), 11, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(groove);
    QColor glow = accent;
    glow.setAlpha(90);
    p.setPen(QPen(glow, 1.2));
    p.drawPath(groove);
    // Ticks every 1 % (41 pitch units) outside the groove, longer at every 5 %.
    for (int percent = -10; percent <= 10; ++percent) {
        const double pitch = 4096 + percent * 40.96;
        const double b = (4506 - pitch) * 0.0018 + kArcLow;
        const double inner = percent % 5 == 0 ? 129.5 : 130.5;
        p.setPen(QPen(percent == 0 ? kIcon : QColor(0x8a, 0x93, 0xa3), percent % 5 == 0 ? 1.6 : 1));
        p.drawLine(arcPoint(d, b, inner), arcPoint(d, b, percent % 5 == 0 ? 136 : 133));
    }
    // "0" marks the pitch reset; + and - the ends.
    p.setPen(kIcon);
    p.setFont(font(9, true));
    p.drawText(d.pitchReset.adjusted(-2, -3, 2, 3), Qt::AlignCenter, QStringLiteral("0"));
    p.setPen(QColor(0x8a, 0x93, 0xa3));
    p.setFont(font(10, true));
    const QPointF slow = arcPoint(d, kArcHigh + 0.1, 120);
    const QPointF fast = arcPoint(d, kArcLow - 0.1, 120);
    p.drawText(QRectF(slow.x() - 8, slow.y() - 8, 16, 16), Qt::AlignCenter,
               QStringLiteral("\u2212"));
    p.drawText(QRectF(fast.x() - 8, fast.y() - 8, 16, 16), Qt::AlignCenter, QStringLiteral("+"));
    p.restore();
}

void drawDeckControls(QPainter& p, const DeckLayout& d, const QColor& accent, bool pressed) {
    const QColor light = accent;
    const auto button = [&](QPointF c, double r, Icon icon, double iconSize, const QColor& colour) {
        drawRoundButton(p, c, r, pressed, light);
        drawIcon(p, icon, QRectF(c.x() - iconSize / 2, c.y() - iconSize / 2, iconSize, iconSize),
                 pressed ? QColor(255, 255, 255) : colour);
    };
    button(d.play, 16, Icon::Play, 15, QColor(0x5d, 0xf0, 0x8f));
    button(d.pause, 16, Icon::Pause, 14, kIcon);
    button(d.stop, 16, Icon::Stop, 14, QColor(0xff, 0x8a, 0x5c));
    button(d.mem, 16, Icon::Memory, 16, QColor(0xff, 0xd3, 0x5c));
    button(d.skip, 16, Icon::BeatSkip, 18, QColor(0x7c, 0xc8, 0xff));

    // Sync: a larger button with the word.
    drawRoundButton(p, d.sync, 29, pressed, light);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(pressed ? QColor(255, 255, 255) : kAccent);
    p.setFont(font(15, true));
    p.drawText(QRectF(d.sync.x() - 28, d.sync.y() - 11, 56, 22), Qt::AlignCenter,
               QStringLiteral("Sync"));
    p.restore();

    // Deck select: the deck's letter.
    drawRoundButton(p, d.select, 29, pressed, light);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(pressed ? QColor(255, 255, 255) : accent.lighter(120));
    p.setFont(font(28, true));
    p.drawText(QRectF(d.select.x() - 28, d.select.y() - 18, 56, 36), Qt::AlignCenter, d.letter);
    p.restore();

    // BPM adopt: a small pill beside the BPM panel.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient pill(d.bpmAdopt.topLeft(), d.bpmAdopt.bottomLeft());
    pill.setColorAt(0.0, kMetalLight);
    pill.setColorAt(1.0, kMetalDark);
    p.setPen(QPen(QColor(0x0a, 0x0b, 0x0e), 1));
    p.setBrush(pill);
    p.drawRoundedRect(d.bpmAdopt.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    QPainterPath arrow;
    const QPointF ac = d.bpmAdopt.center();
    arrow.moveTo(ac + QPointF(-2.5 * -d.side, -4));
    arrow.lineTo(ac + QPointF(2.5 * -d.side, 0));
    arrow.lineTo(ac + QPointF(-2.5 * -d.side, 4));
    p.setPen(QPen(kAccent, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arrow);
    p.restore();
}

void drawDeck(QPainter& p, int index, bool selected, bool pressed) {
    const DeckLayout& d = kDecks[index];
    const QColor accent = selected ? kSelected : kOther;
    // The deck's plate, edged in its colour.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF plate = index == 0 ? QRectF(6, 4, 352, 292) : QRectF(442, 4, 352, 292);
    QLinearGradient face(plate.topLeft(), plate.bottomLeft());
    face.setColorAt(0.0, QColor(0x24, 0x28, 0x30));
    face.setColorAt(1.0, QColor(0x15, 0x17, 0x1c));
    p.setBrush(face);
    QColor edge = accent;
    edge.setAlpha(selected ? 200 : 130);
    p.setPen(QPen(edge, 1.5));
    p.drawRoundedRect(plate, 12, 12);
    QColor strip = accent;
    strip.setAlpha(selected ? 230 : 150);
    p.setPen(QPen(strip, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(plate.left() + 20, plate.top() + 1.5),
               QPointF(plate.right() - 20, plate.top() + 1.5));
    p.restore();

    drawPanel(p, d.time, accent);
    drawPanel(p, d.bpm, accent);
    drawPanel(p, d.title, accent);
    drawDisc(p, d, accent);
    drawPitchArc(p, d, accent);
    drawDeckControls(p, d, accent, pressed);
    // A light plate under the pitch text, which is printed in black.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient label(d.pitchText.topLeft(), d.pitchText.bottomLeft());
    label.setColorAt(0.0, QColor(0xff, 0xd8, 0x7a));
    label.setColorAt(1.0, QColor(0xe8, 0xb0, 0x40));
    p.setPen(QPen(QColor(0x0a, 0x0b, 0x0e), 1));
    p.setBrush(label);
    p.drawRoundedRect(d.pitchText.adjusted(-1.5, -1.5, 1.5, 1.5), 3, 3);
    p.restore();
}

void drawMixPad(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(399, 144);
    const double r = 74;
    QPainterPath diamond;
    diamond.moveTo(c + QPointF(-r, 0));
    diamond.lineTo(c + QPointF(0, -r));
    diamond.lineTo(c + QPointF(r, 0));
    diamond.lineTo(c + QPointF(0, r));
    diamond.closeSubpath();
    p.setPen(QPen(QColor(0x06, 0x07, 0x09), 5, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.setBrush(QColor(0x0b, 0x0d, 0x11));
    p.drawPath(diamond);
    // The grid of the pad: both volumes in steps of an eighth.
    p.setClipPath(diamond);
    QRadialGradient glow(c, r);
    glow.setColorAt(0.0, QColor(0x2e, 0xc4, 0xff, 45));
    glow.setColorAt(1.0, QColor(0x2e, 0xc4, 0xff, 0));
    p.fillRect(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), glow);
    p.setPen(QPen(QColor(0x2e, 0xc4, 0xff, 45), 1));
    for (int i = 1; i < 8; ++i) {
        const double t = -r + i * r / 4;
        p.drawLine(c + QPointF(t - r, -r), c + QPointF(t + r, r));
        p.drawLine(c + QPointF(t - r, r), c + QPointF(t + r, -r));
    }
    p.setClipping(false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x4a, 0x8f, 0xb5), 1.5, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.drawPath(diamond);
    // Corner labels: deck A alone, deck B alone, both, silence.
    p.setFont(font(10, true));
    p.setPen(kSelected.lighter(110));
    p.drawText(QRectF(c.x() - r + 7, c.y() - 8, 16, 16), Qt::AlignCenter, QStringLiteral("A"));
    p.drawText(QRectF(c.x() + r - 23, c.y() - 8, 16, 16), Qt::AlignCenter, QStringLiteral("B"));
    p.setPen(QColor(0x8a, 0x93, 0xa3));
    p.setFont(font(8, true));
    p.drawText(QRectF(c.x() - 30, c.y() - r - 15, 60, 11), Qt::AlignCenter,
               QStringLiteral("A + B"));
    p.drawText(QRectF(c.x() - 30, c.y() + r + 4, 60, 11), Qt::AlignCenter,
               QStringLiteral("VOLUME"));
    p.restore();
}

QImage deckArea(int selected, bool pressed) {
    QImage image = blank(800, 300, QImage::Format_RGB32);
    QPainter p(&image);
    fillBackground(p, QRectF(0, 0, 800, 300));
    drawDeck(p, 0, selected == 0, pressed);
    drawDeck(p, 1, selected == 1, pressed);
    drawMixPad(p);
    return image;
}

// --- The upper half -------------------------------------------------------------------------

struct Tab {
    int left, right;
    Icon icon;
    const char* caption;
};
const Tab kTabs[6] = {{25, 97, Icon::Waveform, "Mixing"},     {101, 163, Icon::Folder, "Files"},
                      {173, 235, Icon::Playlist, "Auto Mix"}, {246, 295, Icon::Clock, "History"},
                      {309, 360, Icon::Database, "Search"},   {371, 417, Icon::Help, "Help"}};

void drawWindowButton(QPainter& p, const QRectF& r, Icon icon, bool pressed) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QColor base = icon == Icon::Close ? QColor(0xc2, 0x3a, 0x44) : QColor(0x3a, 0x40, 0x4b);
    p.setPen(QPen(QColor(0, 0, 0, 160), 1));
    p.setBrush(pressed ? base.lighter(150) : base);
    p.drawRoundedRect(r, 4, 4);
    drawIcon(p, icon, r.adjusted(2, 2, -2, -2), kIcon);
    p.restore();
}

QImage upperSkin(bool pressed) {
    QImage image = blank(800, 300, QImage::Format_RGB32);
    QPainter p(&image);
    fillBackground(p, QRectF(0, 0, 800, 300));
    p.setRenderHint(QPainter::Antialiasing);
    // The tab strip.
    QLinearGradient strip(0, 0, 0, 44);
    strip.setColorAt(0.0, QColor(0x26, 0x2a, 0x33));
    strip.setColorAt(1.0, QColor(0x15, 0x18, 0x1d));
    p.fillRect(QRectF(0, 0, 800, 44), strip);
    p.setPen(QPen(QColor(0, 0, 0, 200), 1));
    p.drawLine(QPointF(0, 43.5), QPointF(800, 43.5));
    for (const Tab& tab : kTabs) {
        const QRectF r(tab.left + 1, 4, tab.right - tab.left - 2, 38);
        QLinearGradient face(r.topLeft(), r.bottomLeft());
        if (pressed) {
            face.setColorAt(0.0, QColor(0x1d, 0x4b, 0x63));
            face.setColorAt(1.0, QColor(0x10, 0x2a, 0x38));
        } else {
            face.setColorAt(0.0, QColor(0x31, 0x36, 0x41));
            face.setColorAt(1.0, QColor(0x1e, 0x22, 0x29));
        }
        p.setPen(QPen(pressed ? kAccent : QColor(0x0b, 0x0c, 0x0f), 1));
        p.setBrush(face);
        p.drawRoundedRect(r, 6, 6);
        if (pressed) {
            p.setPen(QPen(kAccent, 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(r.left() + 8, r.bottom() + 3),
                       QPointF(r.right() - 8, r.bottom() + 3));
        }
        const QColor iconColour = pressed ? QColor(255, 255, 255) : QColor(0xb4, 0xbc, 0xc9);
        drawIcon(p, tab.icon, QRectF(r.center().x() - 9, r.top() + 3, 18, 18), iconColour);
        p.setPen(iconColour);
        p.setFont(font(9, pressed));
        p.drawText(QRectF(r.left(), r.top() + 22, r.width(), 13), Qt::AlignCenter,
                   QString::fromLatin1(tab.caption));
    }
    // The name of the program.
    p.setFont(font(24, true));
    QLinearGradient logo(470, 8, 470, 36);
    logo.setColorAt(0.0, kAccent.lighter(140));
    logo.setColorAt(1.0, kAccent.darker(130));
    QPainterPath name;
    name.addText(QPointF(470, 32), font(24, true), QStringLiteral("SPINORA"));
    p.setPen(Qt::NoPen);
    p.setBrush(logo);
    p.drawPath(name);
    p.setPen(QColor(0x7d, 0x86, 0x96));
    p.setFont(font(9));
    p.drawText(QRectF(600, 16, 140, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("two-deck MP3 mixer"));
    drawWindowButton(p, QRectF(752, 5, 17, 15), Icon::Minimise, pressed);
    drawWindowButton(p, QRectF(774, 5, 17, 15), Icon::Close, pressed);
    // The field of the browser and the beat view.
    p.setPen(QPen(QColor(0x3a, 0x41, 0x4e), 1.5));
    p.setBrush(QColor(0, 0, 0));
    p.drawRoundedRect(QRectF(28.5, 42.5, 743, 251), 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0));
    p.drawRect(QRectF(32, 46, 735, 243));
    // The selected tab glows into the top of the field.
    if (pressed) {
        p.setPen(QPen(kAccent, 3, Qt::SolidLine, Qt::RoundCap));
        for (const Tab& tab : kTabs) {
            p.drawLine(QPointF(tab.left + 9, 44.5), QPointF(tab.right - 9, 44.5));
        }
    }
    return image;
}

// --- Sprites, browser pictures, help, cursors -------------------------------------------------

// The image is black where transparent, the mask black where opaque: AND then OR.
QImage sprite(int size, const QColor& colour, bool mask) {
    QImage picture = blank(size, size, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QImage cutout = blank(size, size, QImage::Format_RGB32);
    cutout.fill(Qt::white);
    const QPointF c(size / 2.0, size / 2.0);
    const double r = size / 2.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = x + 0.5 - c.x();
            const double dy = y + 0.5 - c.y();
            const double distance = std::hypot(dx, dy);
            if (distance > r - 0.3) {
                continue;
            }
            // A lit dome: brighter towards the upper left, a dark rim.
            const double light =
                std::clamp(1.15 - std::hypot(dx + r * 0.35, dy + r * 0.35) / (1.6 * r), 0.25, 1.0);
            const double rim = distance > r - 1.5 ? 0.55 : 1.0;
            picture.setPixel(x, y,
                             qRgb(static_cast<int>(colour.red() * light * rim),
                                  static_cast<int>(colour.green() * light * rim),
                                  static_cast<int>(colour.blue() * light * rim)));
            cutout.setPixel(x, y, qRgb(0, 0, 0));
        }
    }
    return mask ? cutout : picture;
}

const QColor kButtonFace(0x2b, 0x2f, 0x37);  // the browser's button face; pictures are keyed on it

QImage buttonPicture(Icon icon) {
    QImage image = blank(16, 16, QImage::Format_RGB32);
    image.fill(kButtonFace);
    QPainter p(&image);
    drawIcon(p, icon, QRectF(0, 0, 16, 16), kIcon);
    return image;
}

QImage searchPicture() {
    QImage image = blank(101, 23, QImage::Format_RGB32);
    image.fill(kButtonFace);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawIcon(p, Icon::Database, QRectF(4, 3, 17, 17), kAccent);
    p.setPen(kIcon);
    p.setFont(font(13, true));
    p.drawText(QRectF(26, 0, 75, 23), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Search:"));
    return image;
}

// The four images of the browser's lists, on pure blue (their transparent colour).
QImage listImages() {
    QImage image = blank(64, 16, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 3; ++i) {
        const QPointF c(16 * i + 8, 8);
        p.setPen(QPen(QColor(0x10, 0x10, 0x10), 1));
        p.setBrush(QColor(0x22, 0x24, 0x2a));
        p.drawEllipse(c, 6.5, 6.5);
        p.setBrush(i == 1 ? QColor(0xf0, 0xb4, 0x32)
                          : (i == 2 ? QColor(0x80, 0x80, 0x80) : kSelected));
        p.setPen(Qt::NoPen);
        p.drawEllipse(c, 2.6, 2.6);
    }
    p.setPen(QColor(0xff, 0xff, 0xff));
    p.setFont(font(9, true));
    p.drawText(QRectF(16, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
    p.setPen(QPen(QColor(0xff, 0x40, 0x40), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(34, 2), QPointF(46, 14));
    // A document for a playlist file.
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
    p.setBrush(QColor(0xf2, 0xf2, 0xf2));
    QPainterPath page;
    page.moveTo(51.5, 1.5);
    page.lineTo(58.5, 1.5);
    page.lineTo(61.5, 4.5);
    page.lineTo(61.5, 14.5);
    page.lineTo(51.5, 14.5);
    page.closeSubpath();
    p.drawPath(page);
    p.setPen(QPen(kAccent.darker(120), 1));
    for (int y = 6; y <= 12; y += 3) {
        p.drawLine(QPointF(53.5, y + 0.5), QPointF(59.5, y + 0.5));
    }
    return image;
}

QImage helpPicture() {
    QImage image = blank(719, 225, QImage::Format_RGB888);
    QPainter p(&image);
    fillBackground(p, QRectF(0, 0, 719, 225));
    p.setRenderHint(QPainter::Antialiasing);
    const auto heading = [&](double x, const QString& text) {
        p.setPen(kAccent);
        p.setFont(font(13, true));
        p.drawText(QRectF(x, 8, 230, 18), Qt::AlignLeft, text);
        p.setPen(QPen(QColor(0x2e, 0xc4, 0xff, 90), 1));
        p.drawLine(QPointF(x, 29.5), QPointF(x + 215, 29.5));
    };
    // badge: a pictogram, or when empty a short text in its place.
    const auto row = [&](double x, int line, Icon icon, const QString& text, const QString& key,
                         const QString& badge = {}) {
        const double y = 38 + line * 26;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x30, 0x35, 0x3f));
        p.drawRoundedRect(QRectF(x, y, 22, 22), 5, 5);
        if (badge.isEmpty()) {
            drawIcon(p, icon, QRectF(x + 3, y + 3, 16, 16), kIcon);
        } else {
            p.setPen(kAccent);
            p.setFont(font(badge.size() > 2 ? 7 : 10, true));
            p.drawText(QRectF(x, y, 22, 22), Qt::AlignCenter, badge);
        }
        p.setPen(QColor(0xdc, 0xe1, 0xe8));
        p.setFont(font(11));
        p.drawText(QRectF(x + 30, y, 190, 22), Qt::AlignLeft | Qt::AlignVCenter, text);
        if (!key.isEmpty()) {
            p.setFont(font(10, true));
            const QRectF keyRect(x + 160, y + 2, 58, 18);
            p.setPen(QPen(QColor(0x6b, 0x74, 0x84), 1));
            p.setBrush(QColor(0x1a, 0x1d, 0x23));
            p.drawRoundedRect(keyRect, 4, 4);
            p.setPen(QColor(0xff, 0xd3, 0x5c));
            p.drawText(keyRect, Qt::AlignCenter, key);
        }
    };
    heading(12, QStringLiteral("Pages"));
    row(12, 0, Icon::Waveform, QStringLiteral("Mixing window"), QStringLiteral("F1"));
    row(12, 1, Icon::Folder, QStringLiteral("Files list"), QStringLiteral("F2"));
    row(12, 2, Icon::Playlist, QStringLiteral("Auto-mix and playlist"), QStringLiteral("F3"));
    row(12, 3, Icon::Clock, QStringLiteral("History"), QStringLiteral("F4"));
    row(12, 4, Icon::Database, QStringLiteral("Database"), QStringLiteral("F5"));
    row(12, 5, Icon::Help, QStringLiteral("This help"), QStringLiteral("F6"));
    heading(250, QStringLiteral("Deck keys"));
    row(250, 0, Icon::Play, QStringLiteral("Play"), QStringLiteral("Space"));
    row(250, 1, Icon::Pause, QStringLiteral("Pause"), QStringLiteral("P"));
    row(250, 2, Icon::Stop, QStringLiteral("Stop"), QStringLiteral("S"));
    row(250, 3, Icon::Memory, QStringLiteral("Memory"), QStringLiteral("M"));
    row(250, 4, Icon::BeatSkip, QStringLiteral("Next beat"), QStringLiteral("N"));
    row(250, 5, Icon::Play, QStringLiteral("Sync"), QStringLiteral("Enter"),
        QStringLiteral("Sync"));
    row(250, 6, Icon::Play, QStringLiteral("Switch deck"), QStringLiteral("Tab"),
        QStringLiteral("AB"));
    heading(488, QStringLiteral("Buttons"));
    row(488, 0, Icon::Desktop, QStringLiteral("Display from the desktop"), {});
    row(488, 1, Icon::ThisFolder, QStringLiteral("Display from this folder"), {});
    row(488, 2, Icon::Shuffle, QStringLiteral("Randomize the playlist"), {});
    row(488, 3, Icon::RemovePlayed, QStringLiteral("Remove already played songs"), {});
    row(488, 4, Icon::Open, QStringLiteral("Load a playlist"), {});
    row(488, 5, Icon::Save, QStringLiteral("Save a playlist"), {});
    return image;
}

// Cursors of 32 x 32: the arrow of a drag with one or several discs, allowed or refused, and the
// nudge cursor.
QImage dragCursor(bool several, bool allowed) {
    QImage image = blank(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(1, 1);
    arrow.lineTo(1, 17);
    arrow.lineTo(5, 13);
    arrow.lineTo(8, 19);
    arrow.lineTo(10.5, 18);
    arrow.lineTo(7.5, 12);
    arrow.lineTo(13, 12);
    arrow.closeSubpath();
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPath(arrow);
    const auto disc = [&](QPointF c) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(0x22, 0x24, 0x2a));
        p.drawEllipse(c, 7, 7);
        p.setBrush(kSelected);
        p.drawEllipse(c, 2.5, 2.5);
    };
    if (several) {
        disc(QPointF(24, 18));
    }
    disc(QPointF(20, 23));
    if (!allowed) {
        p.setPen(QPen(QColor(0xe0, 0x20, 0x20), 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(24, 24), 6.5, 6.5);
        p.drawLine(QPointF(19.5, 28.5), QPointF(28.5, 19.5));
    }
    return image;
}

QImage nudgeCursor() {
    QImage image = blank(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrows;
    arrows.moveTo(2, 16);
    arrows.lineTo(9, 9);
    arrows.lineTo(9, 13);
    arrows.lineTo(23, 13);
    arrows.lineTo(23, 9);
    arrows.lineTo(30, 16);
    arrows.lineTo(23, 23);
    arrows.lineTo(23, 19);
    arrows.lineTo(9, 19);
    arrows.lineTo(9, 23);
    arrows.closeSubpath();
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(arrows);
    p.setPen(QPen(kAccent.darker(130), 1.5));
    p.drawLine(QPointF(16, 4), QPointF(16, 28));
    return image;
}

QImage splash() {
    QImage image = blank(800, 600, QImage::Format_RGB32);
    QPainter p(&image);
    fillBackground(p, QRectF(0, 0, 800, 600));
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(400, 250);
    QRadialGradient halo(c, 220);
    halo.setColorAt(0.0, QColor(0x2e, 0xc4, 0xff, 60));
    halo.setColorAt(1.0, QColor(0x2e, 0xc4, 0xff, 0));
    p.fillRect(image.rect(), halo);
    DeckLayout d = kDecks[0];
    d.disc = c;
    p.save();
    p.translate(0, 0);
    p.scale(1, 1);
    drawDisc(p, d, kAccent);
    p.restore();
    QPainterPath name;
    name.addText(QPointF(0, 0), font(64, true), QStringLiteral("SPINORA"));
    const QRectF bounds = name.boundingRect();
    name.translate(400 - bounds.center().x(), 440 - bounds.center().y());
    QLinearGradient logo(0, 400, 0, 470);
    logo.setColorAt(0.0, kAccent.lighter(150));
    logo.setColorAt(1.0, kAccent.darker(140));
    p.setPen(Qt::NoPen);
    p.setBrush(logo);
    p.drawPath(name);
    p.setPen(QColor(0x9a, 0xa3, 0xb3));
    p.setFont(font(16));
    p.drawText(QRectF(0, 490, 800, 24), Qt::AlignCenter, QStringLiteral("two-deck MP3 mixing"));
    p.setFont(font(12));
    p.setPen(QColor(0x6b, 0x74, 0x84));
    p.drawText(QRectF(0, 560, 800, 20), Qt::AlignCenter, QStringLiteral("Starting..."));
    return image;
}

// The program's icon, on a 256-unit square: a record on its platter with the tone arm over it,
// in plain shapes and gradients, so that the vector copy looks as the pictures do.
void drawAppIcon(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient tile(0, 8, 0, 248);
    tile.setColorAt(0.0, QColor(0x2b, 0x30, 0x3a));
    tile.setColorAt(1.0, kBackgroundBottom);
    p.setPen(QPen(kPanelEdge, 4));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(10, 10, 236, 236), 44, 44);

    const QPointF c(118, 136);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4a, 0x50, 0x5b));
    p.drawEllipse(c, 100, 100);
    QRadialGradient vinyl(c, 92);
    vinyl.setColorAt(0.0, QColor(0x22, 0x24, 0x2a));
    vinyl.setColorAt(1.0, QColor(0x06, 0x06, 0x08));
    p.setBrush(vinyl);
    p.drawEllipse(c, 92, 92);
    p.setBrush(Qt::NoBrush);
    for (const double r : {52.0, 66.0, 80.0}) {
        p.setPen(QPen(QColor(0x3a, 0x3e, 0x48), 3));
        p.drawEllipse(c, r, r);
    }
    QRadialGradient label(c - QPointF(8, 10), 40);
    label.setColorAt(0.0, kAccent.lighter(140));
    label.setColorAt(1.0, kAccent.darker(160));
    p.setPen(Qt::NoPen);
    p.setBrush(label);
    p.drawEllipse(c, 34, 34);
    p.setBrush(kBackgroundBottom);
    p.drawEllipse(c, 6, 6);

    // The arm: a pivot at the top right, the head resting on the record's outer grooves.
    const QPointF pivot(214, 42);
    const QPointF elbow(206, 150);
    const QPointF head(172, 196);
    p.setPen(QPen(QColor(0xd8, 0xdd, 0xe5), 11, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath arm(pivot);
    arm.lineTo(elbow);
    arm.lineTo(head);
    p.drawPath(arm);
    p.setPen(Qt::NoPen);
    p.setBrush(kSelected);
    p.drawEllipse(head, 11, 11);
    p.setBrush(kMetalLight);
    p.drawEllipse(pivot, 18, 18);
    p.setBrush(QColor(0xd8, 0xdd, 0xe5));
    p.drawEllipse(pivot, 8, 8);
}

QImage appIcon(int size) {
    QImage image = blank(size, size);
    QPainter p(&image);
    p.scale(size / 256.0, size / 256.0);
    drawAppIcon(p);
    return image;
}

// Every picture of the skin. The build takes the list of files from the names in this table, one
// entry a line.
struct Picture {
    const char* name;
    QImage (*draw)();
};
const Picture kPictures[] = {
    {"164.raw", [] { return splash(); }},
    {"170.raw", [] { return upperSkin(false); }},
    {"169.raw", [] { return upperSkin(true).copy(0, 0, 800, 50); }},
    {"166.raw", [] { return deckArea(0, false); }},
    {"168.raw", [] { return deckArea(1, false); }},
    {"165.raw", [] { return deckArea(0, true).copy(200, 0, 400, 300); }},
    {"167.raw", [] { return deckArea(1, true).copy(200, 0, 400, 300); }},
    {"150.bmp", [] { return sprite(16, QColor(0xff, 0xb0, 0x30), false); }},
    {"152.bmp", [] { return sprite(16, QColor(0xff, 0xb0, 0x30), true); }},
    {"161.bmp", [] { return sprite(11, QColor(0x4d, 0xd6, 0xff), false); }},
    {"162.bmp", [] { return sprite(11, QColor(0x4d, 0xd6, 0xff), true); }},
    {"139.bmp", [] { return buttonPicture(Icon::ThisFolder); }},
    {"140.bmp", [] { return buttonPicture(Icon::Desktop); }},
    {"142.bmp", [] { return listImages(); }},
    {"143.bmp", [] { return buttonPicture(Icon::Shuffle); }},
    {"144.bmp", [] { return buttonPicture(Icon::RemovePlayed); }},
    {"145.bmp", [] { return buttonPicture(Icon::Open); }},
    {"146.bmp", [] { return buttonPicture(Icon::Save); }},
    {"148.bmp", [] { return searchPicture(); }},
    {"160.bmp", [] { return helpPicture(); }},
    {"cursor154.png", [] { return dragCursor(false, true); }},
    {"cursor155.png", [] { return dragCursor(true, true); }},
    {"cursor156.png", [] { return dragCursor(false, false); }},
    {"cursor158.png", [] { return dragCursor(true, false); }},
    {"cursor173.png", [] { return nudgeCursor(); }},
    {"icon.png", [] { return appIcon(256); }},
};

// The icon theme's files of the desktop: the scalable icon and one picture a size, in the layout
// of the hicolor theme.
void saveThemeIcons() {
    for (const int size : kThemeIconSizes) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        QDir(outputFolder).mkpath(folder);
        save(appIcon(size), folder + QStringLiteral("/spinora.png"));
    }
    QDir(outputFolder).mkpath(QStringLiteral("hicolor/scalable/apps"));
    const QString svg = outputFolder + QStringLiteral("/hicolor/scalable/apps/spinora.svg");
    QSvgGenerator generator;
    generator.setFileName(svg);
    generator.setSize(QSize(256, 256));
    generator.setViewBox(QRect(0, 0, 256, 256));
    generator.setTitle(QStringLiteral("Spinora"));
    QPainter p;
    if (!p.begin(&generator)) {
        std::fprintf(stderr, "spinora-skin: cannot write %s\n", qPrintable(svg));
        std::exit(1);
    }
    drawAppIcon(p);
    p.end();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const bool icons = argc == 3 && std::strcmp(argv[1], "--icons") == 0;
    if (argc != 2 && !icons) {
        std::fprintf(stderr, "usage: spinora-skin [--icons] OUTPUT_FOLDER\n");
        return 2;
    }
    outputFolder = QString::fromLocal8Bit(argv[argc - 1]);
    QDir().mkpath(outputFolder);

    if (icons) {
        saveThemeIcons();
        return 0;
    }
    for (const Picture& picture : kPictures) {
        save(picture.draw(), QString::fromLatin1(picture.name));
    }
    return 0;
}
