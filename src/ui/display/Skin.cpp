#include "ui/display/Skin.h"

#include <QFile>
#include <QPixmap>

#include "ui/display/Surface.h"

namespace {

QImage raw(int id, int width, int height) {
    QFile file(QStringLiteral(":/skin/%1.raw").arg(id));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return imageFromRaw555(file.readAll(), width, height);
}

QCursor cursor(int id, int hotX, int hotY) {
    return QCursor(QPixmap(QStringLiteral(":/skin/cursor%1.png").arg(id)), hotX, hotY);
}

}  // namespace

QImage Skin::splash() {
    return raw(164, 800, 600);
}

QImage Skin::bitmap(int id) {
    return QImage(QStringLiteral(":/skin/%1.bmp").arg(id)).convertToFormat(QImage::Format_RGB32);
}

const char* Skin::load() {
    upper = raw(170, 800, 300);
    pressedTabs = raw(169, 800, 50);
    deckArea = {raw(166, 800, 300), raw(168, 800, 300)};
    pressedDecks = {raw(165, 400, 300), raw(167, 400, 300)};
    marker = bitmap(150);
    markerMask = bitmap(152);
    puck = bitmap(161);
    puckMask = bitmap(162);
    for (const QImage* image : {&upper, &pressedTabs, &deckArea[0], &deckArea[1], &pressedDecks[0],
                                &pressedDecks[1], &marker, &markerMask, &puck, &puckMask}) {
        if (image->isNull()) {
            return kLoadError;
        }
    }
    dragOne = cursor(154, 1, 1);
    dragSeveral = cursor(155, 1, 1);
    refuseOne = cursor(156, 1, 1);
    refuseSeveral = cursor(158, 1, 1);
    nudge = cursor(173, 16, 16);
    return nullptr;
}
