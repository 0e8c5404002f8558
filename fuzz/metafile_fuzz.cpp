// libFuzzer entry point: parse arbitrary bytes as a metafile and, when
// accepted, play it into a small image.
#include "platform/metafile/Metafile.h"

#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Text output needs fonts, which need a GUI application for the whole run.
    static QGuiApplication* app = new QGuiApplication(*argc, *argv);
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    platform::Metafile::hasMetafileSignature(bytes);
    if (const auto metafile = platform::Metafile::parse(bytes)) {
        metafile->toImage(QSize(48, 32));
    }
    return 0;
}
