#pragma once

#include <QString>

// Who makes this program and how to reach them: one place for the product name in window
// titles and message boxes, the HTML list's credit, the web page behind Run Web Browser,
// the About box's contact lines and the desktop metadata.
namespace project_identity {

// A macro only so that the texts below are put together from it at compile time.
#define VEDRA_PRODUCT_NAME "Vedra Viewer"

inline constexpr char kProductName[] = VEDRA_PRODUCT_NAME;
// Reverse-DNS application id shared by the desktop entry, the metainfo and the icon names.
inline constexpr char kApplicationId[] = "org.vedra_viewer.VedraViewer";
inline constexpr char kMakerName[] = "The " VEDRA_PRODUCT_NAME " developers";
inline constexpr char kMakerAddress[] =
    VEDRA_PRODUCT_NAME " project, free software for Linux desktops";
inline constexpr char kWebPage[] = "https://vedra-viewer.org/";
inline constexpr char kEmail[] = "info@vedra-viewer.org";
// The HTML list's credit line, before its closing "<P>".
inline constexpr char kHtmlCredit[] = "by The " VEDRA_PRODUCT_NAME " developers";

// The product name as windows and message boxes show it.
inline QString productName() {
    return QString::fromLatin1(kProductName);
}

// A window title: the product name, " - " and what the window shows.
inline QString productTitle(const QString& what) {
    return productName() + QStringLiteral(" - ") + what;
}

}  // namespace project_identity
