#include "SkinPainter.h"

#include <QFile>
#include <QFontDatabase>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace skin {

QFont font(int pixelSize, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

void fillBackground(QPainter& p, const QRectF& rect) {
    QLinearGradient g(rect.topLeft(), rect.bottomLeft());
    g.setColorAt(0.0, kBackgroundTop);
    g.setColorAt(1.0, kBackgroundBottom);
    p.fillRect(rect, g);
    // A faint brushed texture: thin horizontal lines of varying lightness.
    for (int y = static_cast<int>(rect.top()); y < rect.bottom(); y += 2) {
        const int shade = ((y * 37) % 11) - 5;
        p.setPen(QColor(255, 255, 255, shade > 0 ? shade : 0));
        p.drawLine(QPointF(rect.left(), y + 0.5), QPointF(rect.right(), y + 0.5));
    }
}

void drawPanel(QPainter& p, const QRectF& rect, const QColor& glow) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer = rect.adjusted(-2, -2, 2, 2);
    QLinearGradient bezel(outer.topLeft(), outer.bottomLeft());
    bezel.setColorAt(0.0, QColor(0x0a, 0x0b, 0x0e));
    bezel.setColorAt(1.0, QColor(0x3c, 0x42, 0x4d));
    p.setPen(Qt::NoPen);
    p.setBrush(bezel);
    p.drawRoundedRect(outer, 5, 5);
    QLinearGradient face(rect.topLeft(), rect.bottomLeft());
    face.setColorAt(0.0, kPanel);
    face.setColorAt(1.0, QColor(0x10, 0x13, 0x18));
    p.setBrush(face);
    p.drawRoundedRect(rect, 4, 4);
    QColor line = glow;
    line.setAlpha(110);
    p.setPen(QPen(line, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    p.restore();
}

void drawRoundButton(QPainter& p, QPointF c, double r, bool pressed, const QColor& light) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // Drop shadow and bezel ring.
    QRadialGradient shadow(c + QPointF(0, 2), r + 4);
    shadow.setColorAt(0.7, QColor(0, 0, 0, 150));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(c + QPointF(0, 2), r + 4, r + 4);
    QLinearGradient ring(c - QPointF(0, r), c + QPointF(0, r));
    ring.setColorAt(0.0, kMetalLight);
    ring.setColorAt(1.0, QColor(0x12, 0x14, 0x18));
    p.setBrush(ring);
    p.drawEllipse(c, r, r);
    // The cap: convex when up, concave and lit when pressed.
    QLinearGradient cap(c - QPointF(0, r), c + QPointF(0, r));
    if (pressed) {
        cap.setColorAt(0.0, light.darker(260));
        cap.setColorAt(1.0, light.darker(150));
    } else {
        cap.setColorAt(0.0, QColor(0x3b, 0x41, 0x4c));
        cap.setColorAt(1.0, QColor(0x1b, 0x1e, 0x24));
    }
    p.setBrush(cap);
    p.drawEllipse(c, r - 2.2, r - 2.2);
    if (pressed) {
        QRadialGradient glow(c, r);
        QColor inner = light;
        inner.setAlpha(120);
        glow.setColorAt(0.0, inner);
        glow.setColorAt(1.0, QColor(0, 0, 0, 0));
        p.setBrush(glow);
        p.drawEllipse(c, r - 2.2, r - 2.2);
    }
    // Light rim on the upper edge.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, pressed ? 40 : 70), 1.0));
    p.drawArc(QRectF(c.x() - r + 2.5, c.y() - r + 2.5, 2 * r - 5, 2 * r - 5), 30 * 16, 120 * 16);
    p.restore();
}

namespace {

QPainterPath triangle(const QRectF& s) {
    QPainterPath path;
    path.moveTo(s.left() + s.width() * 0.22, s.top() + s.height() * 0.12);
    path.lineTo(s.right() - s.width() * 0.1, s.center().y());
    path.lineTo(s.left() + s.width() * 0.22, s.bottom() - s.height() * 0.12);
    path.closeSubpath();
    return path;
}

void arrowHead(QPainter& p, QPointF tip, double angle, double size) {
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(tip - QPointF(std::cos(angle - 0.5), std::sin(angle - 0.5)) * size);
    head.lineTo(tip - QPointF(std::cos(angle + 0.5), std::sin(angle + 0.5)) * size);
    head.closeSubpath();
    p.drawPath(head);
}

}  // namespace

void drawIcon(QPainter& p, Icon icon, const QRectF& s, const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double w = s.width();
    QPen pen(colour, std::max(1.2, w * 0.11), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QPointF c = s.center();
    switch (icon) {
        case Icon::Play:
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawPath(triangle(s));
            break;
        case Icon::Pause:
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawRoundedRect(QRectF(s.left() + w * 0.2, s.top() + w * 0.12, w * 0.22, w * 0.76), 1,
                              1);
            p.drawRoundedRect(QRectF(s.left() + w * 0.58, s.top() + w * 0.12, w * 0.22, w * 0.76),
                              1, 1);
            break;
        case Icon::Stop:
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawRoundedRect(s.adjusted(w * 0.17, w * 0.17, -w * 0.17, -w * 0.17), 1.5, 1.5);
            break;
        case Icon::Memory: {
            p.setFont(font(static_cast<int>(w * 0.62), true));
            p.drawText(s, Qt::AlignCenter, QStringLiteral("M"));
            break;
        }
        case Icon::BeatSkip: {
            const QRectF ring = s.adjusted(w * 0.16, w * 0.16, -w * 0.16, -w * 0.16);
            p.drawArc(ring, 200 * 16, 140 * 16);
            p.drawArc(ring, 20 * 16, 140 * 16);
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            const double r = ring.width() / 2;
            const double a1 = 20.0 * M_PI / 180.0;
            const double a2 = 200.0 * M_PI / 180.0;
            arrowHead(p, c + QPointF(r * std::cos(a1), -r * std::sin(a1)), M_PI / 2 + 0.3, w * 0.3);
            arrowHead(p, c + QPointF(r * std::cos(a2), -r * std::sin(a2)), -M_PI / 2 + 0.3,
                      w * 0.3);
            break;
        }
        case Icon::Waveform: {
            const int bars = 7;
            const double heights[bars] = {0.3, 0.7, 0.5, 1.0, 0.6, 0.8, 0.35};
            for (int i = 0; i < bars; ++i) {
                const double x = s.left() + w * (0.1 + 0.8 * i / (bars - 1));
                const double h = heights[i] * w * 0.42;
                p.drawLine(QPointF(x, c.y() - h), QPointF(x, c.y() + h));
            }
            break;
        }
        case Icon::Folder:
        case Icon::ThisFolder: {
            QPainterPath folder;
            folder.moveTo(s.left() + w * 0.08, s.top() + w * 0.25);
            folder.lineTo(s.left() + w * 0.38, s.top() + w * 0.25);
            folder.lineTo(s.left() + w * 0.46, s.top() + w * 0.34);
            folder.lineTo(s.right() - w * 0.08, s.top() + w * 0.34);
            folder.lineTo(s.right() - w * 0.08, s.bottom() - w * 0.18);
            folder.lineTo(s.left() + w * 0.08, s.bottom() - w * 0.18);
            folder.closeSubpath();
            if (icon == Icon::ThisFolder) {
                p.setBrush(QColor(colour.red(), colour.green(), colour.blue(), 70));
            }
            p.drawPath(folder);
            if (icon == Icon::ThisFolder) {
                p.drawLine(QPointF(c.x(), c.y() + w * 0.2), QPointF(c.x(), c.y() - w * 0.05));
                p.setPen(Qt::NoPen);
                p.setBrush(colour);
                arrowHead(p, QPointF(c.x(), c.y() - w * 0.1), -M_PI / 2, w * 0.22);
            }
            break;
        }
        case Icon::Playlist:
            for (int i = 0; i < 3; ++i) {
                const double y = s.top() + w * (0.25 + 0.25 * i);
                p.drawLine(QPointF(s.left() + w * 0.12, y),
                           QPointF(s.right() - w * (i == 2 ? 0.45 : 0.12), y));
            }
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawPath(
                triangle(QRectF(s.right() - w * 0.4, s.top() + w * 0.58, w * 0.32, w * 0.3)));
            break;
        case Icon::Clock:
            p.drawEllipse(s.adjusted(w * 0.12, w * 0.12, -w * 0.12, -w * 0.12));
            p.drawLine(c, c + QPointF(0, -w * 0.26));
            p.drawLine(c, c + QPointF(w * 0.18, w * 0.08));
            break;
        case Icon::Database: {
            const QRectF top(s.left() + w * 0.15, s.top() + w * 0.1, w * 0.7, w * 0.24);
            p.drawEllipse(top);
            p.drawLine(top.left(), top.center().y(), top.left(), s.bottom() - w * 0.22);
            p.drawLine(top.right(), top.center().y(), top.right(), s.bottom() - w * 0.22);
            p.drawArc(QRectF(top.left(), c.y() - w * 0.12, top.width(), top.height()), 180 * 16,
                      180 * 16);
            p.drawArc(QRectF(top.left(), s.bottom() - w * 0.34, top.width(), top.height()),
                      180 * 16, 180 * 16);
            break;
        }
        case Icon::Help:
            p.drawEllipse(s.adjusted(w * 0.1, w * 0.1, -w * 0.1, -w * 0.1));
            p.setFont(font(static_cast<int>(w * 0.55), true));
            p.drawText(s, Qt::AlignCenter, QStringLiteral("?"));
            break;
        case Icon::Desktop:
            p.drawRoundedRect(QRectF(s.left() + w * 0.1, s.top() + w * 0.15, w * 0.8, w * 0.52),
                              1.5, 1.5);
            p.drawLine(QPointF(c.x(), s.top() + w * 0.67), QPointF(c.x(), s.bottom() - w * 0.14));
            p.drawLine(QPointF(c.x() - w * 0.22, s.bottom() - w * 0.12),
                       QPointF(c.x() + w * 0.22, s.bottom() - w * 0.12));
            break;
        case Icon::Shuffle: {
            QPainterPath a;
            a.moveTo(s.left() + w * 0.1, s.top() + w * 0.3);
            a.cubicTo(c.x(), s.top() + w * 0.3, c.x(), s.bottom() - w * 0.3, s.right() - w * 0.18,
                      s.bottom() - w * 0.3);
            QPainterPath b;
            b.moveTo(s.left() + w * 0.1, s.bottom() - w * 0.3);
            b.cubicTo(c.x(), s.bottom() - w * 0.3, c.x(), s.top() + w * 0.3, s.right() - w * 0.18,
                      s.top() + w * 0.3);
            p.drawPath(a);
            p.drawPath(b);
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            arrowHead(p, QPointF(s.right() - w * 0.06, s.top() + w * 0.3), 0, w * 0.25);
            arrowHead(p, QPointF(s.right() - w * 0.06, s.bottom() - w * 0.3), 0, w * 0.25);
            break;
        }
        case Icon::RemovePlayed: {
            p.drawEllipse(s.adjusted(w * 0.14, w * 0.14, -w * 0.14, -w * 0.14));
            p.drawEllipse(QRectF(c.x() - w * 0.07, c.y() - w * 0.07, w * 0.14, w * 0.14));
            QPen cross(QColor(0xff, 0x5a, 0x5a), std::max(1.5, w * 0.13), Qt::SolidLine,
                       Qt::RoundCap);
            p.setPen(cross);
            p.drawLine(QPointF(s.left() + w * 0.15, s.top() + w * 0.15),
                       QPointF(s.right() - w * 0.15, s.bottom() - w * 0.15));
            break;
        }
        case Icon::Open: {
            // An open folder: its back with the tab, the front flap tipped forward.
            QPainterPath back;
            back.moveTo(s.left() + w * 0.1, s.bottom() - w * 0.16);
            back.lineTo(s.left() + w * 0.1, s.top() + w * 0.2);
            back.lineTo(s.left() + w * 0.38, s.top() + w * 0.2);
            back.lineTo(s.left() + w * 0.46, s.top() + w * 0.3);
            back.lineTo(s.right() - w * 0.18, s.top() + w * 0.3);
            back.lineTo(s.right() - w * 0.18, s.top() + w * 0.45);
            p.drawPath(back);
            QPainterPath flap;
            flap.moveTo(s.left() + w * 0.1, s.bottom() - w * 0.16);
            flap.lineTo(s.left() + w * 0.3, s.top() + w * 0.45);
            flap.lineTo(s.right() - w * 0.04, s.top() + w * 0.45);
            flap.lineTo(s.right() - w * 0.24, s.bottom() - w * 0.16);
            flap.closeSubpath();
            p.drawPath(flap);
            break;
        }
        case Icon::Save: {
            // A floppy disk: the body with its clipped corner, less the shutter and the label.
            QPainterPath body;
            body.moveTo(s.left() + w * 0.12, s.top() + w * 0.12);
            body.lineTo(s.right() - w * 0.26, s.top() + w * 0.12);
            body.lineTo(s.right() - w * 0.12, s.top() + w * 0.26);
            body.lineTo(s.right() - w * 0.12, s.bottom() - w * 0.12);
            body.lineTo(s.left() + w * 0.12, s.bottom() - w * 0.12);
            body.closeSubpath();
            QPainterPath holes;
            holes.addRect(QRectF(s.left() + w * 0.34, s.top() + w * 0.2, w * 0.3, w * 0.2));
            holes.addRect(QRectF(s.left() + w * 0.26, s.top() + w * 0.52, w * 0.48, w * 0.24));
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawPath(body.subtracted(holes));
            break;
        }
        case Icon::Minimise:
            p.drawLine(QPointF(s.left() + w * 0.2, s.bottom() - w * 0.28),
                       QPointF(s.right() - w * 0.2, s.bottom() - w * 0.28));
            break;
        case Icon::Close:
            p.drawLine(QPointF(s.left() + w * 0.25, s.top() + w * 0.25),
                       QPointF(s.right() - w * 0.25, s.bottom() - w * 0.25));
            p.drawLine(QPointF(s.right() - w * 0.25, s.top() + w * 0.25),
                       QPointF(s.left() + w * 0.25, s.bottom() - w * 0.25));
            break;
    }
    p.restore();
}

bool writeRaw555(const QImage& source, const QString& path) {
    static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QByteArray bytes;
    bytes.reserve(image.width() * image.height() * 2);
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // Spread the 3 dropped bits over a 4 x 4 pattern before truncating to 5 bits.
            const int bias = kBayer[y & 3][x & 3] / 2;
            const auto channel = [bias](int value) { return std::min(31, (value + bias) >> 3); };
            const uint16_t word =
                static_cast<uint16_t>((channel(qRed(row[x])) << 10) |
                                      (channel(qGreen(row[x])) << 5) | channel(qBlue(row[x])));
            bytes.append(static_cast<char>(word & 0xff));
            bytes.append(static_cast<char>(word >> 8));
        }
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace skin
