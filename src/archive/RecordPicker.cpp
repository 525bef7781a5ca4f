#include "archive/RecordPicker.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

RecordPicker::RecordPicker(Velmora& app, QWidget* owner, const Kind& kind)
    : ui::Dialog(owner, QString::fromUtf8(kind.caption), QSize(862, 560), ui::Centre::Screen),
      app_(app),
      kind_(kind) {
    txtTrova = new QLineEdit(this);
    txtTrova->setObjectName(QStringLiteral("txtTrova"));
    txtTrova->setGeometry(30, 110, 600, 30);
    btnTrova = new QPushButton(QStringLiteral("Trova"), this);
    btnTrova->setObjectName(QStringLiteral("btnTrova"));
    btnTrova->setGeometry(650, 110, 100, 30);
    lstRecords = new QListView(this);
    lstRecords->setObjectName(QStringLiteral("lstRecords"));
    lstRecords->setGeometry(30, 160, 801, 320);
    btnChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    btnChiudi->setObjectName(QStringLiteral("btnChiudi"));
    btnChiudi->setGeometry(30, 500, 120, 36);
    btnStampa = new QPushButton(QStringLiteral("Stampa"), this);
    btnStampa->setObjectName(QStringLiteral("btnStampa"));
    btnStampa->setGeometry(712, 500, 120, 36);
    if (kind.import) {
        lblMemory = new QLabel(QStringLiteral("lblMemory"), this);
        lblMemory->setObjectName(QStringLiteral("lblMemory"));
        lblMemory->hide();
    }
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
}
