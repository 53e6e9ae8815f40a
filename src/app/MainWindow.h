#pragma once

#include <QImage>
#include <QWidget>

class Application;

// The program's one window: 800 x 600, frameless. Its events go to the Application's dispatcher;
// it paints from the skin, the deck-area back buffer and the beat view. Full screen, it sits in the
// middle of a black window of its own that covers the screen.
class MainWindow : public QWidget {
  public:
    explicit MainWindow(Application& app);
    ~MainWindow() override;

    // Shows the window at once with the splash picture, full screen or not.
    void showSplash(const QImage& splash, bool fullScreen);
    void hideSplash();
    // From the refresh thread: a new frame of the beat view is ready.
    void requestBeatViewPaint();
    // Minimises the window once the current event is handled.
    void minimiseLater();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    Application& app_;
    QImage splash_;
    QWidget* stage_ = nullptr;  // full screen only
};
