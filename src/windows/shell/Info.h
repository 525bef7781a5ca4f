#pragma once
#include "windows/shell/LinkDialog.h"

// Informazioni su Velmora: the heading, the program's version as the build
// names it and, below them, the maker's support address, which opens a new
// message in the mail program.
class TfrmInfo : public LinkDialog {
public:
    explicit TfrmInfo(QWidget* owner);

    QLabel* lblVersione;
    ui::PictureButton* imgEmail;
};
