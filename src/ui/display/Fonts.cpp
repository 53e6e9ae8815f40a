#include "ui/display/Fonts.h"

#include <QFontMetrics>

QFont fittedFont(int cellHeight, const QString& widest, int width) {
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setStyleHint(QFont::SansSerif);
    for (int pixels = cellHeight; pixels > 4; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetrics metrics(font);
        if (metrics.height() <= cellHeight && metrics.horizontalAdvance(widest) <= width) {
            break;
        }
    }
    return font;
}
