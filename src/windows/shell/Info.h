#pragma once
#include "windows/shell/LinkDialog.h"

// Informazioni su Velmora: the heading and, below it, the maker's support
// address, which opens a new message in the mail program.
class TfrmInfo : public LinkDialog {
public:
    explicit TfrmInfo(QWidget* owner);

    ui::PictureButton* imgEmail;
};
