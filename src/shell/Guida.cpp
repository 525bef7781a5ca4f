#include "shell/Guida.h"

#include "app/ui/Gradient.h"
#include "app/ui/ModalRunner.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
// The client area is 670 x 572 report units (pixels at 96 dpi).
constexpr QSize kClient(670, 572);
}

TfrmGuida::TfrmGuida(QWidget* owner)
    : ui::Dialog(owner, QStringLiteral(" Guida all'utilizzo del software"), kClient, ui::Centre::Screen) {
    auto* background = new ui::Gradient(QStringLiteral("bkgSfondo"), ui::colour::kWhite, QColor(191, 216, 239), this);
    background->setGeometry(rect());

    lblTitolo = new QLabel(QStringLiteral("Argomento della guida."), this);
    lblTitolo->setObjectName(QStringLiteral("lblTitolo"));
    lblTitolo->setFont(QFont(QStringLiteral("Arial"), 16, QFont::Bold));
    lblTitolo->setStyleSheet(QStringLiteral("color: rgb(220, 20, 60);"));
    lblTitolo->setGeometry(22, 90, 625, 30);

    txtGuida = new QPlainTextEdit(this);
    txtGuida->setObjectName(QStringLiteral("txtGuida"));
    txtGuida->setReadOnly(true);
    txtGuida->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtGuida->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    txtGuida->setFont(QFont(QStringLiteral("Verdana"), 12, QFont::Bold));
    txtGuida->setGeometry(22, 130, 625, 350);

    btnChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    btnChiudi->setObjectName(QStringLiteral("btnChiudi"));
    btnChiudi->setFont(QFont(QStringLiteral("Verdana"), 10));
    btnChiudi->setCursor(Qt::PointingHandCursor);
    btnChiudi->setGeometry(kClient.width() - 142, kClient.height() - 56, 120, 34);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
}

QString HelpText(const QStringList& paragraphs) {
    return paragraphs.join(QStringLiteral("\r\n\r\n"));
}

void ShowHelp(QWidget* owner, const QString& title, const QStringList& paragraphs) {
    TfrmGuida guida(owner);
    guida.lblTitolo->setText(title);
    guida.txtGuida->setPlainText(HelpText(paragraphs));
    ui::RunModal(guida);
}
