#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <string>
#include <vector>

class QPainter;

// The program's one window: 800 x 600, frameless. Its events go to its host's dispatcher, and its
// host paints it. Full screen, it sits in the middle of a black window of its own that covers the
// screen.
class MainWindow : public QWidget {
  public:
    // What the window's events go to. Main thread.
    class Host {
      public:
        virtual ~Host() = default;
        // False until the start-up is complete: no message is routed before.
        virtual bool ready() const = 0;
        // Routes one message; returns the window procedure's result.
        virtual long dispatch(int message, unsigned long wParam = 0, long lParam = 0) = 0;
        virtual void paint(QPainter& painter, const QRect& invalid) = 0;
        // The tip of the painted control at a point of the window; empty where there is none.
        virtual QString toolTipAt(QPoint at) const = 0;
        // Files dropped from the desktop onto the window.
        virtual void dropFiles(QPoint at, const std::vector<std::string>& paths) = 0;
    };

    explicit MainWindow(Host& host);
    ~MainWindow() override;

    // Shows the window at once with the splash picture, full screen or not.
    void showSplash(const QImage& splash, bool fullScreen);
    void hideSplash();
    // From the refresh thread: a new frame of the beat view is ready.
    void requestBeatViewPaint();
    // Minimises the window once the current event is handled.
    void minimiseLater();

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    Host& host_;
    QImage splash_;
    QWidget* stage_ = nullptr;  // full screen only
};
