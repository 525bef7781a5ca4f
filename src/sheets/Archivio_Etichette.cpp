#include "sheets/Archivio_Etichette.h"

#include "app/Velmora.h"
#include "shell/Avvio.h"

#include <QLabel>
#include <QLineEdit>

TfrmArchivio_Etichette::TfrmArchivio_Etichette(Velmora& app)
    : ui::Window(QStringLiteral(" Velmora - Rarudozu Varedorur"), Frame::Sizeable, QSize(1200, 900)), app_(app) {
    auto* panMemory = new QWidget(this);
    panMemory->setObjectName(QStringLiteral("panMemory"));
    panMemory->hide();
    for (int slot = 1; slot <= kSlots; ++slot) {
        auto* name = new QLineEdit(this);
        name->setObjectName(QStringLiteral("txtNome_E%1").arg(slot, 2, 10, QLatin1Char('0')));
        name->setReadOnly(true);
        name->setMaxLength(250);
        names_[slot - 1] = name;
        for (int line = 1; line <= kLines; ++line) {
            auto* label = new QLabel(panMemory);
            label->setObjectName(QStringLiteral("txtRigo%1_E%2").arg(line, 2, 10, QLatin1Char('0')).arg(slot, 2, 10, QLatin1Char('0')));
            lines_[(slot - 1) * kLines + line - 1] = label;
        }
    }
}

QString TfrmArchivio_Etichette::SlotKey(int slot) {
    return QStringLiteral("etichetta_E%1").arg(slot, 2, 10, QLatin1Char('0'));
}

int TfrmArchivio_Etichette::SlotOfKey(const QString& key) {
    for (int slot = 1; slot <= kSlots; ++slot)
        if (key == SlotKey(slot)) return slot;
    return 0;
}

void TfrmArchivio_Etichette::FormClose() { app_.HandOver(*this, app_.frmAvvio()); }
