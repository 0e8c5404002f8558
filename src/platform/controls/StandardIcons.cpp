#include "platform/controls/StandardIcons.h"

#include <QApplication>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include "platform/AfterFirstFrame.h"

namespace platform {

void showStandardIcons(QWidget* control, const QList<QStyle::StandardPixmap>& which,
                       const std::function<void(const QList<QIcon>&)>& apply) {
    const int side = control->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, control);
    QPixmap blank(side, side);
    blank.fill(Qt::transparent);
    apply(QList<QIcon>(which.size(), QIcon(blank)));

    QPointer<QWidget> alive(control);
    afterFirstFrame(control->window(), [alive, which, apply] {
        if (!alive)
            return;
        QList<QIcon> icons;
        for (const QStyle::StandardPixmap icon : which)
            icons.append(alive->style()->standardIcon(icon, nullptr, alive));
        apply(icons);
    });
}

}  // namespace platform
