#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace platform {

class Form;

// What every visible control has: a name, a place and size in twips inside its container
// (the form's client area, or a picture box), visibility, a tool tip and a tab position.
class Control {
  public:
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const QString& name() const { return name_; }

    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);
    void Move(double left, double top, double width, double height);

    bool Visible() const { return visible_; }
    void setVisible(bool visible);

    QString ToolTipText() const;
    // The tool tip doubles as the accessible name, so screen readers can name picture
    // buttons that carry no text.
    void setToolTipText(const QString& text);

    // Keyboard focus order: controls are chained in increasing TabIndex by Form::applyTabOrder.
    int TabIndex() const { return tabIndex_; }
    void setTabIndex(int index) { tabIndex_ = index; }
    void SetFocus();
    // Paints the control now, without letting other events run.
    void Refresh();

    QWidget* widget() const { return widget_; }
    // Device pixels per logical pixel of the screen the control is on (1, or 2 at 200 %):
    // its geometry stays in twips and logical pixels, pictures are prepared for the device.
    double devicePixelRatio() const;

  protected:
    // `widget` is created by the derived control as a child of `container`.
    Control(const QString& name, QWidget* widget, double left, double top, double width,
            double height);
    // Called after the geometry changed, before the widget is moved.
    virtual void geometryChanged() {}
    void applyGeometry();

  private:
    QString name_;
    QWidget* widget_;
    double left_, top_, width_, height_;
    bool visible_ = true;
    int tabIndex_ = -1;
};

// Sets the keyboard focus chain of a form's controls by their TabIndex.
void applyTabOrder(std::initializer_list<Control*> controls);

}  // namespace platform
