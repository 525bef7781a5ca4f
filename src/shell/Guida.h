#pragma once
#include "app/ui/WindowFrame.h"

#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The help window: the caller sets a topic title and a text of paragraphs.
class TfrmGuida : public ui::Dialog {
public:
    explicit TfrmGuida(QWidget* owner);

    QLabel* lblTitolo;
    QPlainTextEdit* txtGuida;
    QPushButton* btnChiudi;
};

// The help-window mechanism: a new help window owned by the caller, with the
// title and the paragraphs joined by CR LF CR LF, shown modally, then destroyed.
void ShowHelp(QWidget* owner, const QString& title, const QStringList& paragraphs);

// The topic text as the help window receives it.
QString HelpText(const QStringList& paragraphs);
