#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QString>

// The pictures of the skin and the deck-area back buffer are QImages in the display's own format
// (RGB32): the raw 16-bit 5-5-5 resources are converted once, when loaded.

// The colour of a 5-5-5 word (the top bit ignored), each channel widened to 8 bits as the display
// widens it.
constexpr QRgb rgbFrom555(int word) {
    const auto expand = [](int five) { return (five << 3) | (five >> 2); };
    return qRgb(expand((word >> 10) & 31), expand((word >> 5) & 31), expand(word & 31));
}

// A raw picture: width x height little-endian 5-5-5 words, bottom row first. A null image when
// the data has another size.
QImage imageFromRaw555(const QByteArray& data, int width, int height);

// Every pixel of the colour of the bottom-left one takes the button face, so that a button's
// picture stands on the button's own background.
void recolourBackground(QImage& picture, QColor buttonFace);

// A sprite: the mask is combined with the destination by AND, then the image by OR.
void drawSprite(QImage& destination, QPoint at, const QImage& image, const QImage& mask);
