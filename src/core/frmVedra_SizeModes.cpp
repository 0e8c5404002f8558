// The size modes: how the picture is placed in the viewing area.
#include "core/Program.h"
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
    switch (ModoDimensioni_) {
        case 0:
            OriginaleImmagine();
            break;
        case 1:
            IngrandisciImmagine();
            break;
        case 2:
            RiempiImmagine();
            break;
        case 3:
            IngrandisciImmagineFS();
            break;
        case 4:
            RiempiImmagineFS();
            break;
        default:
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

void frmVedra::RiempiImmagine() {
    Image1.setVisible(false);
    Image1.setStretch(true);
    const QSizeF area = areaForWindowState();
    Image1.setWidth(area.width());
    Image1.setHeight(area.height());
    CentraImmagine();
    Image1.setVisible(true);
}

void frmVedra::IngrandisciImmagine() {
    Image1.setVisible(false);
    Image1.setStretch(true);
    const QSizeF area = areaForWindowState();
    const double w = m_.LarghezzaOriginale;
    const double h = m_.AltezzaOriginale;
    // The fitted side follows the picture's own orientation: landscape takes the area's
    // width, portrait and square its height, even when the other side then overflows.
    if (m_.LarghezzaOriginale > m_.AltezzaOriginale) {
        Image1.setWidth(area.width());
        if (m_.LarghezzaOriginale != 0)
            Image1.setHeight(h / w * area.width());
    } else {
        if (m_.AltezzaOriginale != 0)
            Image1.setWidth(w / h * area.height());
        Image1.setHeight(area.height());
    }
    CentraImmagine();
    Image1.setVisible(true);
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
