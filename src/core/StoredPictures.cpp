#include "core/StoredPictures.h"

#include <QImage>
#include <QString>

static void initStoredPictures() {
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

platform::Picture storedPicture(const char* name) {
    initStoredPictures();
    const QImage image(QStringLiteral(":/pictures/%1.png").arg(QLatin1String(name)));
    return platform::Picture::fromImage(image);
}
