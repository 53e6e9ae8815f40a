#include "ui/display/Surface.h"

#include <QPainter>

QImage imageFromRaw555(const QByteArray& data, int width, int height) {
    if (data.size() != static_cast<qsizetype>(width) * height * 2) {
        return {};
    }
    QImage image(width, height, QImage::Format_RGB32);
    const auto* words = reinterpret_cast<const uchar*>(data.constData());
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(height - 1 - y));
        for (int x = 0; x < width; ++x) {
            const int at = 2 * (y * width + x);
            row[x] = rgbFrom555(words[at] | (words[at + 1] << 8));
        }
    }
    return image;
}

void recolourBackground(QImage& picture, QColor buttonFace) {
    if (picture.isNull()) {
        return;
    }
    picture = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb key = picture.pixel(0, picture.height() - 1);
    const QRgb face = buttonFace.rgb();
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (row[x] == key) {
                row[x] = face;
            }
        }
    }
}

void drawSprite(QImage& destination, QPoint at, const QImage& image, const QImage& mask) {
    QPainter painter(&destination);
    painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter.drawImage(at, mask);
    painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    painter.drawImage(at, image);
}
