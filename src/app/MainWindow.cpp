#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QToolTip>

#include "core/Messages.h"
#include "ui/browser/ListView.h"
#include "ui/display/BeatView.h"

namespace {

long pointOf(const QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    return msg::pointParam(at.x(), at.y());
}

// The black full-screen window around the picture: it keeps the picture in its middle and asks
// the picture whether it may close.
class Stage : public QWidget {
  public:
    explicit Stage(QWidget& picture) : picture_(picture) {
        setWindowTitle(picture.windowTitle());
        setWindowIcon(picture.windowIcon());
        setWindowFlags(Qt::FramelessWindowHint | Qt::Window);
        QPalette black = palette();
        black.setColor(QPalette::Window, Qt::black);
        setPalette(black);
        setAutoFillBackground(true);
        // Covers the screen also when not full screen: without a window manager nothing else
        // spreads a full-screen window over it.
        setGeometry(picture.screen()->geometry());
        picture.setParent(this);
    }

  protected:
    void resizeEvent(QResizeEvent*) override {
        picture_.move((width() - picture_.width()) / 2, (height() - picture_.height()) / 2);
    }
    void closeEvent(QCloseEvent* event) override { event->setAccepted(picture_.close()); }

  private:
    QWidget& picture_;
};

}  // namespace

MainWindow::MainWindow(Host& host) : host_(host) {
    setWindowTitle(QStringLiteral("Spinora"));
    setWindowIcon(QIcon(QStringLiteral(":/skin/icon.png")));
    setWindowFlags(Qt::FramelessWindowHint | Qt::Window);
    setFixedSize(800, 600);
    setMouseTracking(true);
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

MainWindow::~MainWindow() {
    if (stage_ != nullptr) {
        setParent(nullptr);  // the stage is not to delete this window
        delete stage_;
    }
}

void MainWindow::showSplash(const QImage& splash, bool fullScreen) {
    splash_ = splash;
    if (fullScreen && stage_ == nullptr) {
        stage_ = new Stage(*this);
    }
    show();
    if (fullScreen) {
        stage_->showFullScreen();
    }
    repaint();
    QCoreApplication::processEvents();
}

void MainWindow::hideSplash() {
    splash_ = QImage();
    update();
}

void MainWindow::requestBeatViewPaint() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            update(QRect(beatview::kLeft, beatview::kTop, beatview::kWidth, beatview::kHeight));
        },
        Qt::QueuedConnection);
}

void MainWindow::minimiseLater() {
    QTimer::singleShot(0, this, [this] { window()->showMinimized(); });
}

bool MainWindow::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = host_.ready() ? host_.toolTipAt(help->pos()) : QString();
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), tip, this);
    }
    return true;
}

void MainWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!splash_.isNull()) {
        painter.drawImage(0, 0, splash_);
        return;
    }
    for (const QRect& rect : event->region()) {
        host_.paint(painter, rect);
    }
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        host_.dispatch(
            event->button() == Qt::LeftButton ? msg::kLeftButtonDown : msg::kRightButtonDown, 0,
            pointOf(event));
    }
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    host_.dispatch(msg::kMouseMove, 0, pointOf(event));
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        host_.dispatch(event->button() == Qt::LeftButton ? msg::kLeftButtonUp : msg::kRightButtonUp,
                       0, pointOf(event));
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!host_.ready() || host_.dispatch(msg::kClose) != 0) {
        event->accept();
        host_.dispatch(msg::kDestroy);
    } else {
        event->ignore();
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (host_.ready() && event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = droppedFiles(*event->mimeData());
    if (!paths.empty()) {
        host_.dropFiles(event->position().toPoint(), paths);
        event->acceptProposedAction();
    }
}
