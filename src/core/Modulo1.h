#pragma once

#include <QString>
#include <array>

namespace platform {
class FileSystemService;
}

// The state shared by every window of the viewer. One instance lives for the whole run.
struct Modulo1 {
    explicit Modulo1(platform::FileSystemService& fileSystem) : fileSystem_(fileSystem) {}

    QString PercorsoFile;         // full path of the picture last loaded from the file list
    QString NomeFile;             // its file name
    QString CartellaImmagine;     // its folder, as the file list reports it
    QString CartellaCM;           // target folder for copy and move
    long LarghezzaOriginale = 0;  // natural size of the shown picture, in twips
    long AltezzaOriginale = 0;
    bool SceltaFatta = false;        // the text of the folder or HTML-name box was accepted
    bool MantieniAspettoFS = false;  // the full-screen view keeps the aspect ratio
    bool LogoAlternato = false;
    bool SlideShowAttivo = false;
    long VelocitaSlideShow = 0;  // pause between pictures in seconds: 3, 2 or 1
    long IndiceFile = 0;         // file-list position of the picture last loaded
    std::array<QString, 10> CartelleRecenti;
    std::array<QString, 10> DocumentiRecenti;
    QString NomeHtml;
    QString FileHtml;
    bool HtmlConfermato = false;

    // True when `path`, taken literally and with its letter case, names an existing ordinary
    // file (not a folder, not hidden); lookup errors count as false.
    bool FileExists(const QString& path) const;

  private:
    platform::FileSystemService& fileSystem_;
};
