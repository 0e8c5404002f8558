#include "platform/Keys.h"

#include <Qt>

#include "platform/Form.h"

namespace platform {

int keyCodeFromQt(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Backspace:
            return KeyCode::Back;
        case Qt::Key_Tab:
            return KeyCode::Tab;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return KeyCode::Return;
        case Qt::Key_Escape:
            return KeyCode::Escape;
        case Qt::Key_Space:
            return KeyCode::Space;
        case Qt::Key_PageUp:
            return KeyCode::PageUp;
        case Qt::Key_PageDown:
            return KeyCode::PageDown;
        case Qt::Key_End:
            return KeyCode::End;
        case Qt::Key_Home:
            return KeyCode::Home;
        case Qt::Key_Left:
            return KeyCode::Left;
        case Qt::Key_Up:
            return KeyCode::Up;
        case Qt::Key_Right:
            return KeyCode::Right;
        case Qt::Key_Down:
            return KeyCode::Down;
        case Qt::Key_Insert:
            return KeyCode::Insert;
        case Qt::Key_Delete:
            return KeyCode::Delete;
        default:
            break;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return KeyCode::F1 + (qtKey - Qt::Key_F1);
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;
    return 0;
}

int mouseButtonFromQt(int qtButton) {
    switch (qtButton) {
        case Qt::LeftButton:
            return MouseButton::Left;
        case Qt::RightButton:
            return MouseButton::Right;
        case Qt::MiddleButton:
            return MouseButton::Middle;
        default:
            return 0;
    }
}

int shiftStateFromQt(int qtModifiers) {
    int shift = 0;
    if (qtModifiers & Qt::ShiftModifier)
        shift |= ShiftState::Shift;
    if (qtModifiers & Qt::ControlModifier)
        shift |= ShiftState::Ctrl;
    if (qtModifiers & Qt::AltModifier)
        shift |= ShiftState::Alt;
    return shift;
}

}  // namespace platform
