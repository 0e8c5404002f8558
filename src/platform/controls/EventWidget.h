#pragma once

#include <QWidget>
#include <functional>

class QMimeData;

namespace platform {

// A plain widget whose painting, mouse and drop events are handed to callbacks, so the
// image-like controls need no Qt subclass of their own.
class EventWidget : public QWidget {
    Q_OBJECT
  public:
    explicit EventWidget(QWidget* parent);

    // A widget that acts as a button is announced to assistive technology as a push button
    // named by its tool tip, and the space bar presses it.
    void setActsAsButton(bool on);
    bool actsAsButton() const { return actsAsButton_; }

    std::function<void(QPainter&)> paint;
    std::function<void(int button, int shift, double xTwips, double yTwips)> mouseDown;
    std::function<void()> click;
    std::function<void()> doubleClick;
    // Returns true when the data is acceptable; `drop` then receives it.
    std::function<bool(const QMimeData&)> acceptsDrop;
    std::function<void(const QMimeData&, int button, int shift, double xTwips, double yTwips)> drop;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool pressedInside_ = false;
    bool actsAsButton_ = false;
};

}  // namespace platform
