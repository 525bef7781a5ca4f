#include "windows/shell/Splash.h"

#include "ui/Gradient.h"
#include "windows/shell/OpenURL.h"

namespace {
const LinkDialog::Look kLook{
    " Velmora - software di Officina Esempio",
    QSize(560, 400),
    ui::Centre::Owner,
    QColor(255, 255, 255),
    QColor(53, 37, 37),
    "splash_logo",
    QRect(20, 20, 520, 290),
    QColor(),  // the picture fills its place, no box
    "imgWeb",
    "splash_web",
    10,
    ui::colour::kLightBlue,  // on the dark brown at the bottom
};
}  // namespace

TfrmSplash::TfrmSplash(QWidget* owner)
    : LinkDialog(owner, kLook, kSitoProduttore, kSitoProduttore), imgWeb(icon) {}
