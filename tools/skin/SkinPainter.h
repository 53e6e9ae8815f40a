#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QString>

// Drawing helpers shared by the skin's pictures: the palette of the dark skin and the recurring
// shapes (round buttons, display panels, pictograms).
namespace skin {

// The palette.
inline const QColor kBackgroundTop(0x1c, 0x1f, 0x26);
inline const QColor kBackgroundBottom(0x0e, 0x10, 0x14);
inline const QColor kPanel(0x07, 0x09, 0x0c);
inline const QColor kPanelEdge(0x3a, 0x41, 0x4e);
inline const QColor kMetalLight(0x5a, 0x61, 0x6e);
inline const QColor kMetalDark(0x23, 0x27, 0x2f);
inline const QColor kIcon(0xe6, 0xe9, 0xef);
inline const QColor kAccent(0x2e, 0xc4, 0xff);    // cyan: tabs, logo
inline const QColor kSelected(0x35, 0xe0, 0x7a);  // green: the selected deck's side
inline const QColor kOther(0xe5, 0x3e, 0x4b);     // red: the other deck's side

QFont font(int pixelSize, bool bold = false);

// A dark, softly lit background gradient over rect.
void fillBackground(QPainter& p, const QRectF& rect);

// A recessed display panel (time, BPM, title).
void drawPanel(QPainter& p, const QRectF& rect, const QColor& glow);

// A round hardware button at centre with radius; lit with colour when pressed.
void drawRoundButton(QPainter& p, QPointF centre, double radius, bool pressed, const QColor& light);

// Pictograms, drawn centred in the given square.
enum class Icon {
    Play,
    Pause,
    Stop,
    Memory,
    BeatSkip,
    Waveform,
    Folder,
    Playlist,
    Clock,
    Database,
    Help,
    Desktop,
    ThisFolder,
    Shuffle,
    RemovePlayed,
    Open,
    Save,
    Minimise,
    Close,
};
void drawIcon(QPainter& p, Icon icon, const QRectF& square, const QColor& colour);

// Writes image as raw 16-bit 5-5-5 pixels, bottom row first, with ordered dithering so that
// gradients survive the 5 bits per channel.
bool writeRaw555(const QImage& image, const QString& path);

}  // namespace skin
