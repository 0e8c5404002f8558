#include "platform/controls/Label.h"
#include "platform/FileName.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QFontMetrics>
#include <QLabel>

#include "platform/Colors.h"

namespace platform {

namespace {
QLabel* makeLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
}
}  // namespace

Label::Label(Container container, const QString& name, double left, double top, double width,
             double height)
    : Control(name, makeLabel(container.widget), left, top, width, height),
      label_(static_cast<QLabel*>(widget())) {}

QString Label::Caption() const {
    return label_->text();
}

void Label::setCaption(const QString& caption) {
    if (!caption.isEmpty())
        fitPendingFont();
    // A file name's bytes that are not UTF-8 show as replacement characters.
    const QString shown = displayFileName(caption);
    label_->setText(shown);
    label_->setAccessibleName(shown);
}

void Label::setFont(const QString& family, double points, bool bold) {
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    label_->setFont(font);
    fitSamples_.clear();  // a font set by name replaces any fitting still to be done
}

int Label::textWidthPixels(const QString& text) const {
    fitPendingFont();
    return QFontMetrics(label_->font()).horizontalAdvance(text);
}

void Label::fitFontTo(const QStringList& samples) {
    // A little room is kept for the label's own margin.
    fitSamples_ = samples;
    fitRoom_ = label_->width() - 2;
}

void Label::fitPendingFont() const {
    if (fitSamples_.isEmpty())
        return;
    const QStringList samples = std::exchange(fitSamples_, {});
    const int room = fitRoom_;
    auto fits = [&](const QFont& font) {
        const QFontMetrics metrics(font);
        for (const QString& sample : samples)
            if (metrics.horizontalAdvance(sample) > room)
                return false;
        return true;
    };
    QFont font = label_->font();
    for (int stretch : {int(QFont::SemiCondensed), int(QFont::Condensed)}) {
        if (fits(font))
            break;
        font.setStretch(stretch);
    }
    // The largest size in quarter points, down to 6, at which every sample fits. Text
    // widths grow about in proportion to the size, so the search starts from the size the
    // widest sample asks for instead of stepping down a quarter point at a time (every
    // size is a font of its own to load).
    constexpr double Step = 0.25;
    constexpr double Smallest = 6;
    const double start = font.pointSizeF();
    if (!fits(font) && start > Smallest) {
        const QFontMetrics metrics(font);
        int widest = 1;
        for (const QString& sample : samples)
            widest = std::max(widest, metrics.horizontalAdvance(sample));
        auto sizeAt = [&](int steps) { return std::max(Smallest, start - steps * Step); };
        const int maxSteps = int(std::ceil((start - Smallest) / Step));
        int steps = std::clamp(int(std::ceil((start - start * room / widest) / Step)), 1, maxSteps);
        font.setPointSizeF(sizeAt(steps));
        while (steps < maxSteps && !fits(font))
            font.setPointSizeF(sizeAt(++steps));
        while (steps > 1) {
            QFont larger = font;
            larger.setPointSizeF(sizeAt(steps - 1));
            if (!fits(larger))
                break;
            font = larger;
            --steps;
        }
    }
    label_->setFont(font);
}

void Label::setCentered(bool centered) {
    label_->setAlignment((centered ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
}

void Label::setForeColor(unsigned long bgr) {
    QPalette palette = label_->palette();
    palette.setColor(QPalette::WindowText, colorFromBgr(bgr));
    label_->setPalette(palette);
}

void Label::setWordWrap(bool wrap) {
    label_->setWordWrap(wrap);
}

}  // namespace platform
