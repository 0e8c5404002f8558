#pragma once

class QWidget;

namespace platform {

class Form;
class PictureBox;

// Where a control is placed: a form's client area or a picture box.
struct Container {
    Container(Form& form);       // NOLINT(google-explicit-constructor): reads like the design
    Container(PictureBox& box);  // NOLINT(google-explicit-constructor)
    QWidget* widget;
};

}  // namespace platform
