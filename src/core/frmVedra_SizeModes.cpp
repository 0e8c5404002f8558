// The size modes: how the picture is placed in the viewing area.
#include "core/Program.h"
#include "core/SizeMode.h"
#include "core/frmVedra.h"
#include "platform/Twips.h"

using platform::roundHalfEven;

void frmVedra::Dimensioni_Change() {
    ApplicaDimensioni();
}

void frmVedra::Dimensioni_Click() {
    ApplicaDimensioni();
}

void frmVedra::Picture1_Click() {
    IngrandisciImmagineFS();
}

void frmVedra::Image1_Click() {
    IngrandisciImmagineFS();
}

void frmVedra::ApplicaDimensioni() {
    ModoDimensioni_ = Dimensioni.ListIndex();
    applySizeMode();
}

void frmVedra::applySizeMode() {
    switch (sizeModeOf(ModoDimensioni_)) {
        case SizeMode::OriginalSize:
            OriginaleImmagine();
            break;
        case SizeMode::ResizeMaintainAspect:
            IngrandisciImmagine();
            break;
        case SizeMode::ResizeToWindow:
            RiempiImmagine();
            break;
        case SizeMode::FullScreenMaintainAspect:
            IngrandisciImmagineFS();
            break;
        case SizeMode::FullScreen:
            RiempiImmagineFS();
            break;
        case SizeMode::None:
            break;
    }
}

void frmVedra::CentraImmagine() {
    const double w = roundHalfEven(Image1.Width());
    const double h = roundHalfEven(Image1.Height());
    Image1.setLeft(roundHalfEven((Picture1.Width() - w) / 2));
    Image1.setTop(roundHalfEven((Picture1.Height() - h) / 2));
}

void frmVedra::OriginaleImmagine() {
    Image1.setVisible(false);
    Image1.setStretch(false);
    CentraImmagine();
    Image1.setVisible(true);
}

QSizeF frmVedra::areaForWindowState() const {
    if (windowState() == platform::WindowState::Maximized)
        return {double(L_.LarghezzaAreaMax), double(L_.AltezzaAreaMax)};
    return {double(L_.LarghezzaArea), double(L_.AltezzaArea)};
}

void frmVedra::stretchToMode(SizeMode mode) {
    Image1.setVisible(false);
    Image1.setStretch(true);
    const ShownSize shown = shownSize(mode, QSizeF(m_.LarghezzaOriginale, m_.AltezzaOriginale),
                                      areaForWindowState(), QSizeF());
    if (shown.width)
        Image1.setWidth(*shown.width);
    Image1.setHeight(shown.height);
    CentraImmagine();
    Image1.setVisible(true);
}

void frmVedra::RiempiImmagine() {
    stretchToMode(SizeMode::ResizeToWindow);
}

void frmVedra::IngrandisciImmagine() {
    stretchToMode(SizeMode::ResizeMaintainAspect);
}

void frmVedra::RiempiImmagineFS() {
    if (ImmagineIncollata_ || File1.ListIndex() >= 0) {
        m_.MantieniAspettoFS = false;
        program_.showFullScreen(true);
    }
}

void frmVedra::IngrandisciImmagineFS() {
    if (ImmagineIncollata_ || File1.ListIndex() >= 0) {
        m_.MantieniAspettoFS = true;
        program_.showFullScreen(false);
    }
}

void frmVedra::ResetDimensioniImmagine() {
    Image1.setWidth(L_.LarghezzaArea);
    Image1.setHeight(L_.AltezzaArea);
    CentraImmagine();
}
