// The two arrangements of the main window: normal and maximised.
#include "core/frmVedra.h"

namespace {
// How much taller the file list is, and how far the controls below it move, when maximised.
constexpr long MaximisedListGrowth = 1590;
}  // namespace

void frmVedra::Form_Resize() {
    RidimensionamentoFrame();
    applySizeMode();
}

void frmVedra::RidimensionamentoFrame() {
    if (windowState() == platform::WindowState::Maximized) {
        Picture1.setWidth(L_.LarghezzaCorniceMax);
        Picture1.setHeight(L_.AltezzaCorniceMax);
        lblDisplay.setTop(L_.TopInfoMax);
        lblDisplay.setWidth(L_.LarghezzaInfoMax);
        File1.setHeight(L_.AltezzaListaFile + MaximisedListGrowth);
        lblContatore.setTop(L_.TopContatore + MaximisedListGrowth);
        TipoImmagine.setTop(L_.TopTipoImmagine + MaximisedListGrowth);
        Dimensioni.setTop(L_.TopDimensioni + MaximisedListGrowth);
        imgLogo.setTop(L_.TopLogo + MaximisedListGrowth);
    } else {
        Picture1.setWidth(L_.LarghezzaCornice);
        Picture1.setHeight(L_.AltezzaCornice);
        lblDisplay.setTop(L_.TopInfo);
        lblDisplay.setWidth(L_.LarghezzaInfo);
        File1.setHeight(L_.AltezzaListaFile);
        lblContatore.setTop(L_.TopContatore);
        TipoImmagine.setTop(L_.TopTipoImmagine);
        Dimensioni.setTop(L_.TopDimensioni);
        imgLogo.setTop(L_.TopLogo);
    }
}
