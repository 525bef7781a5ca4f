#pragma once
#include "core/folder/ProgramFolder.h"

#include <QObject>

#include <memory>
#include <vector>

class QWidget;
class TfrmPassword;
class TfrmCambiaPassword;
class TfrmAvvio;
class TfrmArchivio_Indirizzi;
class TfrmArchivio_Etichette;
namespace ui { class Window; }

// The application: the program folder, the sixteen windows created hidden at
// start-up in a fixed order, the hand-overs between the long-lived windows and
// the end of the run. The long-lived windows exist once; dialogs reach them
// through this object.
class Velmora : public QObject {
public:
    explicit Velmora(ProgramFolder folder);
    ~Velmora() override;

    const ProgramFolder& Folder() const { return folder_; }

    TfrmPassword& frmPassword() const { return *frmPassword_; }
    TfrmCambiaPassword& frmCambiaPassword() const { return *frmCambiaPassword_; }
    TfrmAvvio& frmAvvio() const { return *frmAvvio_; }
    TfrmArchivio_Indirizzi& frmArchivio_Indirizzi() const { return *frmArchivio_Indirizzi_; }
    TfrmArchivio_Etichette& frmArchivio_Etichette() const { return *frmArchivio_Etichette_; }

    // The sixteen start-up instances, in the order of their creation.
    const std::vector<QWidget*>& Windows() const { return windows_; }

    // Shows the login window, the only one visible at start.
    void Start();
    // Shows the next long-lived window, then hides the current one.
    void HandOver(QWidget& current, ui::Window& next);
    // Ends the run: closes every window and leaves the event loop. Nothing is
    // asked or saved.
    void Terminate();
    bool Terminated() const { return terminated_; }

private:
    ProgramFolder folder_;
    std::vector<QWidget*> windows_;
    TfrmPassword* frmPassword_ = nullptr;
    TfrmCambiaPassword* frmCambiaPassword_ = nullptr;
    TfrmAvvio* frmAvvio_ = nullptr;
    TfrmArchivio_Indirizzi* frmArchivio_Indirizzi_ = nullptr;
    TfrmArchivio_Etichette* frmArchivio_Etichette_ = nullptr;
    bool terminated_ = false;
};
