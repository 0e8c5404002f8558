#pragma once

#include "platform/controls/Container.h"
#include "platform/controls/Control.h"

#include <QStringList>

class QLabel;

namespace platform {

// A text label; screen readers read it by its caption.
class Label : public Control {
  public:
    Label(Container container, const QString& name, double left, double top, double width,
          double height);

    QString Caption() const;
    void setCaption(const QString& caption);
    void setFont(const QString& family, double points, bool bold);
    // Narrows the font, then makes it smaller in quarter points, until every one of
    // `samples` fits in the label's present width on one line. Measuring text is costly
    // while the program starts, so the fitting is done when the label first shows text.
    void fitFontTo(const QStringList& samples);
    // The width `text` takes in the label's font, in pixels.
    int textWidthPixels(const QString& text) const;
    void setCentered(bool centered);
    void setForeColor(unsigned long bgr);
    void setWordWrap(bool wrap);

  private:
    void fitPendingFont() const;

    QLabel* label_;
    mutable QStringList fitSamples_;  // waiting to be fitted, with the width they must fit
    int fitRoom_ = 0;
};

}  // namespace platform
