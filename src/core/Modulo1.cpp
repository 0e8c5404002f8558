#include "core/Modulo1.h"

#include "platform/RuntimeError.h"
#include "platform/services/FileSystemService.h"

bool Modulo1::FileExists(const QString& path) const {
    // Literal: a name with "[", "*" or "?" is that very name, and letter case counts, so the
    // overwrite question of copy and move is asked exactly when a file would be replaced.
    try {
        return fileSystem_.IsFile(path);
    } catch (const platform::RuntimeError&) {
        return false;
    }
}
