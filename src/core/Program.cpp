#include "core/Program.h"

#include "core/frmVedra.h"

Program::Program(const platform::Services& services)
    : services_(services),
      modulo1_(*services.fileSystem),
      frmVedra([this] { return std::make_unique<::frmVedra>(*this); }) {}

Program::~Program() = default;

void Program::start() {
    ::frmVedra& main = frmVedra();
    // The folder list has the focus when the window opens.
    main.setFocusTo(main.Dir1.widget());
    main.Show();
    main.Dir1.SetFocus();
}

void Program::setDefaultHtmlName(const QString& name) {
    modulo1_.NomeHtml = name;
    modulo1_.SceltaFatta = true;
}

void Program::showFullScreen(bool modal) {
    (void)modal;
}
