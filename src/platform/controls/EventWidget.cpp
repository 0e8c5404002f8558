#include "platform/controls/EventWidget.h"
#include "platform/HandlerGuard.h"

#include <QAccessibleWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "platform/Form.h"
#include "platform/Keys.h"
#include "platform/Twips.h"

namespace platform {

namespace {

// Every event widget answers assistive technology itself, so one that is made a button
// after it was first announced is read as a button from then on.
class EventWidgetAccessible : public QAccessibleWidget {
  public:
    explicit EventWidgetAccessible(EventWidget* widget) : QAccessibleWidget(widget) {}
    QAccessible::Role role() const override {
        return area()->actsAsButton() ? QAccessible::Button : QAccessibleWidget::role();
    }
    QStringList actionNames() const override {
        return area()->actsAsButton() ? QStringList{pressAction()} : QStringList{};
    }
    // Answers at once and presses afterwards, so a click that opens a modal window does not
    // hold the reader's call until the window closes.
    void doAction(const QString& action) override {
        if (action != pressAction() || !area()->actsAsButton())
            return;
        QTimer::singleShot(0, area(), [area = area()] {
            if (area->actsAsButton() && area->click)
                runHandler(area->click);
        });
    }

  private:
    EventWidget* area() const { return static_cast<EventWidget*>(widget()); }
};

bool isClickButton(Qt::MouseButton button) {
    return button == Qt::LeftButton || button == Qt::RightButton;
}

QAccessibleInterface* eventWidgetFactory(const QString& className, QObject* object) {
    auto* area = qobject_cast<EventWidget*>(object);
    if (className == QLatin1String("platform::EventWidget") && area)
        return new EventWidgetAccessible(area);
    return nullptr;
}

}  // namespace

EventWidget::EventWidget(QWidget* parent) : QWidget(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(eventWidgetFactory);
        return true;
    }();
    (void)installed;
}

void EventWidget::setActsAsButton(bool on) {
    actsAsButton_ = on;
    setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
}

void EventWidget::keyPressEvent(QKeyEvent* event) {
    if (actsAsButton_ && click && event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        runHandler(click);
        return;
    }
    QWidget::keyPressEvent(event);
}

void EventWidget::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (paint) {
        QPainter painter(this);
        // Painters clip to what is being repainted, so big pictures draw only what is seen.
        painter.setClipRegion(event->region());
        paint(painter);
    }
}

void EventWidget::mousePressEvent(QMouseEvent* event) {
    pressedInside_ = isClickButton(event->button());
    if (mouseDown) {
        const QPointF p = event->position();
        runHandler([&] {
            mouseDown(mouseButtonFromQt(event->button()), shiftStateFromQt(event->modifiers()),
                      p.x() * TwipsPerPixel, p.y() * TwipsPerPixel);
        });
    } else {
        event->ignore();
    }
}

void EventWidget::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a press and a release over the control, with the left or the right
    // button; the middle button clicks nothing.
    const bool inside = rect().contains(event->position().toPoint());
    if (pressedInside_ && inside && isClickButton(event->button()) && click)
        runHandler(click);
    pressedInside_ = false;
    if (!click)
        event->ignore();
}

void EventWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    pressedInside_ = isClickButton(event->button());
    if (doubleClick && event->button() == Qt::LeftButton)
        runHandler(doubleClick);
    else
        QWidget::mouseDoubleClickEvent(event);
}

namespace {

// A drop only ever copies: accepting a proposed move would let the source (a file manager)
// delete what was dragged.
void acceptAsCopy(QDropEvent* event) {
    if (event->possibleActions() & Qt::CopyAction) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace

void EventWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (acceptsDrop && event->mimeData() && acceptsDrop(*event->mimeData()))
        acceptAsCopy(event);
    else
        event->ignore();
}

void EventWidget::dragMoveEvent(QDragMoveEvent* event) {
    if (acceptsDrop && event->mimeData() && acceptsDrop(*event->mimeData()))
        acceptAsCopy(event);
    else
        event->ignore();
}

void EventWidget::dropEvent(QDropEvent* event) {
    if (!drop || !event->mimeData() || !(event->possibleActions() & Qt::CopyAction))
        return;
    acceptAsCopy(event);
    const QPointF p = event->position();
    const int button = mouseButtonFromQt(int(event->buttons()));
    const int shift = shiftStateFromQt(int(event->modifiers()));
    runHandler([&] {
        drop(*event->mimeData(), button, shift, p.x() * TwipsPerPixel, p.y() * TwipsPerPixel);
    });
}

}  // namespace platform
