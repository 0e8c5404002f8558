#include "platform/FormWindow.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include "platform/Form.h"
#include "platform/HandlerGuard.h"
#include "platform/Keys.h"
#include "platform/Twips.h"

namespace platform {

FormWindow::FormWindow(Form* form) : form_(form) {}

void FormWindow::closeEvent(QCloseEvent* event) {
    // The close box unloads the form; whether it really goes is the form's decision.
    event->ignore();
    bool accept = false;
    runHandler([&] { form_->handleCloseRequest(accept); });
}

void FormWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        runHandler([this] { form_->handleStateChange(); });
    else if (event->type() == QEvent::ActivationChange && isActiveWindow())
        runHandler([this] { form_->handleActivate(); });
}

void FormWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    runHandler([this] { form_->handleFirstShow(); });
}

void FormWindow::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (modalLoop && !isMinimized())
        modalLoop->quit();
}

void FormWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The border is fixed: a size dragged by the user in the normal state springs back.
    QTimer::singleShot(0, this, [this] { form_->enforceDesignedSize(); });
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
    runHandler([&] {
        form_->Form_KeyDown(keyCodeFromQt(event->key()), shiftStateFromQt(event->modifiers()));
    });
    QMainWindow::keyPressEvent(event);
}

void FormWindow::mousePressEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    runHandler([&] {
        form_->Form_MouseDown(mouseButtonFromQt(event->button()),
                              shiftStateFromQt(event->modifiers()), pixelsToTwips(1) * p.x(),
                              pixelsToTwips(1) * p.y());
    });
}

void FormWindow::mouseReleaseEvent(QMouseEvent* event) {
    // A click is the left or the right button released over the window.
    const bool clickButton =
        event->button() == Qt::LeftButton || event->button() == Qt::RightButton;
    if (clickButton && rect().contains(event->position().toPoint()))
        runHandler([this] { form_->Form_Click(); });
}

}  // namespace platform
