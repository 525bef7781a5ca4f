#include "windows/shell/Guida.h"

#include "core/folder/ProgramFolder.h"
#include "ui/Gradient.h"
#include "ui/ModalRunner.h"

#include <QLabel>
#include <QPlainTextEdit>

namespace {
// The client area is 670 x 572 report units (pixels at 96 dpi).
const LinkDialog::Look kLook{
    " Guida all'utilizzo del software",
    QSize(670, 572),
    ui::Centre::Screen,
    QColor(255, 255, 255),
    QColor(191, 216, 239),
    "guida_titolo",
    QRect(22, 12, 626, 66),
    QColor(245, 222, 179),  // wheat
    "imgPDF",
    "guida_pdf",
    10,
    ui::colour::kDarkBlue,
};
}  // namespace

TfrmGuida::TfrmGuida(const ProgramFolder& folder, QWidget* owner)
    : LinkDialog(owner, kLook, QStringLiteral("Visualizza guida in formato PDF"),
                 folder.File(QLatin1String(ProgramFolder::kGuide))),
      imgPDF(icon) {
    lblTitolo = new QLabel(QStringLiteral("Argomento della guida."), this);
    lblTitolo->setObjectName(QStringLiteral("lblTitolo"));
    lblTitolo->setFont(QFont(QStringLiteral("Arial"), 16, QFont::Bold));
    QPalette crimson = lblTitolo->palette();
    crimson.setColor(QPalette::WindowText, ui::colour::kCrimson);
    lblTitolo->setPalette(crimson);
    lblTitolo->setGeometry(22, 90, 625, 30);

    txtGuida = new QPlainTextEdit(this);
    txtGuida->setObjectName(QStringLiteral("txtGuida"));
    txtGuida->setReadOnly(true);
    txtGuida->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtGuida->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    txtGuida->setFont(QFont(QStringLiteral("Verdana"), 12, QFont::Bold));
    txtGuida->setGeometry(22, 130, 625, 350);
    lblTitolo->setBuddy(txtGuida);
}

QString HelpText(const QStringList& paragraphs) {
    return paragraphs.join(QStringLiteral("\r\n\r\n"));
}

void ShowHelp(QWidget* owner, const ProgramFolder& folder, const QString& title, const QStringList& paragraphs) {
    TfrmGuida guida(folder, owner);
    guida.lblTitolo->setText(title);
    guida.txtGuida->setPlainText(HelpText(paragraphs));
    ui::RunModal(guida);
}
