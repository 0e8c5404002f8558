#include "core/Modulo1.h"

#include "platform/RuntimeError.h"
#include "platform/services/FileSystemService.h"

bool Modulo1::FileExists(const QString& path) const {
    try {
        return !fileSystem_.Dir(path, platform::FileAttr::Normal).isEmpty();
    } catch (const platform::RuntimeError&) {
        return false;
    }
}
