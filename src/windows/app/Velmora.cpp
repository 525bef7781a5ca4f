#include "windows/app/Velmora.h"

#include "windows/access/CambiaPassword.h"
#include "windows/access/Password.h"
#include "windows/archive/AllegaCartella.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "windows/archive/ExpIndirizzi.h"
#include "windows/archive/ImportaIndirizzi.h"
#include "windows/archive/StampaBusta.h"
#include "windows/archive/TrovaIndirizzi.h"
#include "windows/sheets/Anteprima_Etichetta.h"
#include "windows/sheets/Anteprima_Etichette.h"
#include "windows/sheets/Archivio_Etichette.h"
#include "windows/sheets/Stampa_Etichette.h"
#include "windows/shell/Avvio.h"
#include "windows/shell/Guida.h"
#include "windows/shell/Info.h"
#include "windows/shell/Splash.h"

#include <QApplication>

namespace {
template <class T>
T* Create(std::vector<QWidget*>& windows, T* window) {
    windows.push_back(window);
    return window;
}
}  // namespace

Velmora::Velmora(ProgramFolder folder) : folder_(std::move(folder)) {
    // The run ends only where the program says so, not with its last window.
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        app->setQuitOnLastWindowClosed(false);

    auto& w = windows_;
    frmPassword_ = Create(w, new TfrmPassword(*this));
    Create(w, new TfrmAllegaCartella(*this, nullptr));
    Create(w, new TfrmAnteprima_Etichetta(*this, nullptr));
    Create(w, new TfrmAnteprima_Etichette(*this, nullptr));
    frmArchivio_Etichette_ = Create(w, new TfrmArchivio_Etichette(*this));
    frmArchivio_Indirizzi_ = Create(w, new TfrmArchivio_Indirizzi(*this));
    frmAvvio_ = Create(w, new TfrmAvvio(*this));
    frmCambiaPassword_ = Create(w, new TfrmCambiaPassword(*this));
    Create(w, new TfrmExpIndirizzi(*this, nullptr));
    Create(w, new TfrmGuida(folder_, nullptr));
    Create(w, new TfrmImportaIndirizzi(*this, nullptr));
    Create(w, new TfrmInfo(nullptr));
    Create(w, new TfrmSplash(nullptr));
    Create(w, new TfrmStampa_Etichette(*this, nullptr));
    Create(w, new TfrmStampaBusta(*this, nullptr));
    Create(w, new TfrmTrovaIndirizzi(*this, nullptr));
}

Velmora::~Velmora() {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) delete *it;
}

void Velmora::Start() { frmPassword_->Present(); }

void Velmora::HandOver(QWidget& current, ui::Window& next) {
    next.Present();
    current.hide();
}

void Velmora::Terminate() {
    if (terminated_) return;
    terminated_ = true;
    for (QWidget* window : windows_) window->hide();
    QCoreApplication::exit(0);
}
