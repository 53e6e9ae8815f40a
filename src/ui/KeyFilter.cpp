#include "ui/KeyFilter.h"

#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

#include "core/Messages.h"

int virtualKeyCode(const QKeyEvent& event) {
    const int key = event.key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return key;  // the same codes
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F6) {
        return vk::kF1 + (key - Qt::Key_F1);
    }
    switch (key) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return vk::kTab;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return vk::kReturn;
        case Qt::Key_Escape:
            return vk::kEscape;
        case Qt::Key_Space:
            return vk::kSpace;
        case Qt::Key_PageUp:
            return vk::kPageUp;
        case Qt::Key_PageDown:
            return vk::kPageDown;
        case Qt::Key_Left:
            return vk::kLeft;
        case Qt::Key_Up:
            return vk::kUp;
        case Qt::Key_Right:
            return vk::kRight;
        case Qt::Key_Down:
            return vk::kDown;
        case Qt::Key_Delete:
            return vk::kDelete;
        default:
            return 0;
    }
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWindowType() &&
        watched == mainWindow_.window()->windowHandle()) {
        const int code = virtualKeyCode(static_cast<QKeyEvent&>(*event));
        if (code != 0 && onKeyDown_(code)) {
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
