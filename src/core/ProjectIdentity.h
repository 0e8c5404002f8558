#pragma once

// Who makes this program and how to reach them: one place for the HTML list's credit, the
// web page behind Run Web Browser, the About box's contact lines and the desktop metadata.
namespace project_identity {

inline constexpr char kProductName[] = "Vedra Viewer";
// Reverse-DNS application id shared by the desktop entry, the metainfo and the icon names.
inline constexpr char kApplicationId[] = "org.vedra_viewer.VedraViewer";
inline constexpr char kMakerName[] = "The Vedra Viewer developers";
inline constexpr char kMakerAddress[] = "Vedra Viewer project, free software for Linux desktops";
inline constexpr char kWebPage[] = "https://vedra-viewer.org/";
inline constexpr char kEmail[] = "info@vedra-viewer.org";
// The HTML list's credit line, before its closing "<P>".
inline constexpr char kHtmlCredit[] = "by The Vedra Viewer developers";

}  // namespace project_identity
