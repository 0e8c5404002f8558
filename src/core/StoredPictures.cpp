#include "core/StoredPictures.h"

#include <QImage>
#include <QString>
#include <map>
#include <string>

static void initStoredPictures() {
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

platform::Picture storedPicture(const char* name) {
    // Several controls show the same stored picture (the main window alone asks for the
    // down arrow, the run button and the first logo twice each); pictures are shared
    // immutable values, so each is decoded once.
    static std::map<std::string, platform::Picture> decoded;
    const auto known = decoded.find(name);
    if (known != decoded.end())
        return known->second;
    initStoredPictures();
    const QImage image(QStringLiteral(":/pictures/%1.png").arg(QLatin1String(name)));
    return decoded.emplace(name, platform::Picture::fromImage(image)).first->second;
}
