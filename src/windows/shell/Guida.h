#pragma once
#include "windows/shell/LinkDialog.h"

#include <QStringList>

class ProgramFolder;
class QPlainTextEdit;

// The help window: the caller sets a topic title and a text of paragraphs;
// the link at the bottom opens the user guide Guida.pdf of the program folder.
class TfrmGuida : public LinkDialog {
public:
    TfrmGuida(const ProgramFolder& folder, QWidget* owner);

    QLabel* lblTitolo;
    QPlainTextEdit* txtGuida;
    ui::PictureButton* imgPDF;
};

// The help-window mechanism: a new help window owned by the caller, with the
// title and the paragraphs joined by CR LF CR LF, shown modally, then destroyed.
void ShowHelp(QWidget* owner, const ProgramFolder& folder, const QString& title, const QStringList& paragraphs);

// The topic text as the help window receives it.
QString HelpText(const QStringList& paragraphs);
