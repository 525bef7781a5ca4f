#include "sheets/Archivio_Etichette.h"

#include "app/Velmora.h"
#include "shell/Avvio.h"

TfrmArchivio_Etichette::TfrmArchivio_Etichette(Velmora& app)
    : ui::Window(QStringLiteral(" Velmora - Rarudozu Varedorur"), Frame::Sizeable, QSize(1200, 900)), app_(app) {}

void TfrmArchivio_Etichette::FormClose() { app_.HandOver(*this, app_.frmAvvio()); }
