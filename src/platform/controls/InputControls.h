#pragma once

#include <functional>

#include "platform/controls/Container.h"
#include "platform/controls/Control.h"

class QLineEdit;
class QPlainTextEdit;
class QCheckBox;
class QScrollBar;

namespace platform {

// A text box, single-line or multi-line (read-only text for help windows). A file name set
// by code shows its bytes that are not UTF-8 as replacement characters; Text gives back the
// name as set (byte for byte) until the user edits it.
class TextBox : public Control {
  public:
    TextBox(Container container, const QString& name, double left, double top, double width,
            double height, bool multiLine = false);
    QString Text() const;
    void setText(const QString& text);
    void setLocked(bool locked);
    // Selects the whole text, so that typing replaces it.
    void selectAllText();
    std::function<void()> onChange;

  private:
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* multi_ = nullptr;
    QString value_;  // the text as last set by code
    bool updating_ = false;
};

// A check box with Value 0 (unchecked) or 1 (checked).
class CheckBox : public Control {
  public:
    CheckBox(Container container, const QString& name, double left, double top, double width,
             double height, const QString& caption);
    int Value() const;
    void setValue(int value);
    // The caption's colour.
    unsigned long ForeColor() const { return foreColor_; }
    void setForeColor(unsigned long bgr);
    std::function<void()> onClick;

  private:
    QCheckBox* box_;
    unsigned long foreColor_ = 0x000000;
};

// A horizontal scroll bar with Min, Max and Value; a change raises onChange.
class HScrollBar : public Control {
  public:
    HScrollBar(Container container, const QString& name, double left, double top, double width,
               double height, int min, int max);
    int Value() const;
    void setValue(int value);
    std::function<void()> onChange;

  private:
    QScrollBar* bar_;
};

}  // namespace platform
