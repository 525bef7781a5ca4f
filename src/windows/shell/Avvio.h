#pragma once
#include "ui/WindowFrame.h"

#include <QStringList>

class Velmora;
namespace ui { class PictureButton; class Picture; }

// The launcher: the hub behind the login, with the two work areas as tiles
// and the small icons around them. Closing it ends the program.
class TfrmAvvio : public ui::Window {
public:
    explicit TfrmAvvio(Velmora& app);

    ui::PictureButton *imgInfo, *imgGuida, *imgApp01, *btnApp01, *imgApp02, *btnApp02, *imgCopyright, *imgSito,
        *imgEsci;
    ui::Picture *icoTitolo01, *imgSottotitolo;

    void imgInfoClick();
    void imgGuidaClick();
    void imgApp01Click();
    void imgApp02Click();
    void imgCopyrightClick();
    void imgSitoClick();
    void imgEsciClick();

    static QStringList HelpParagraphs();

protected:
    void FormClose() override;

private:
    Velmora& app_;
};
