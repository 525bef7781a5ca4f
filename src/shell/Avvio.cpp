#include "shell/Avvio.h"

#include "app/Velmora.h"
#include "archive/Archivio_Indirizzi.h"
#include "sheets/Archivio_Etichette.h"

#include <QPushButton>

TfrmAvvio::TfrmAvvio(Velmora& app)
    : ui::Window(QStringLiteral(" Velmora"), Frame::Sizeable, QSize(1024, 700)), app_(app) {
    btnApp01 = new QPushButton(QStringLiteral("ARCHIVIO DATI"), this);
    btnApp01->setGeometry(100, 300, 300, 60);
    btnApp02 = new QPushButton(QStringLiteral("RARUDOZU VAREDORUR"), this);
    btnApp02->setGeometry(500, 300, 300, 60);
    imgEsci = new QPushButton(QStringLiteral("Esci"), this);
    imgEsci->setGeometry(800, 600, 100, 40);
    connect(btnApp01, &QPushButton::clicked, this, [this] { app_.HandOver(*this, app_.frmArchivio_Indirizzi()); });
    connect(btnApp02, &QPushButton::clicked, this, [this] { app_.HandOver(*this, app_.frmArchivio_Etichette()); });
    connect(imgEsci, &QPushButton::clicked, this, [this] { app_.Terminate(); });
}

void TfrmAvvio::FormClose() { app_.Terminate(); }
