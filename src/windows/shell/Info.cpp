#include "windows/shell/Info.h"

#include "ui/Gradient.h"
#include "windows/shell/OpenURL.h"

namespace {
const LinkDialog::Look kLook{
    " Informazioni su Velmora",
    QSize(520, 300),
    ui::Centre::Screen,
    ui::colour::kSteelBlue,
    ui::colour::kWhite,
    "info_titolo",
    QRect(22, 22, 476, 96),
    ui::colour::kLightBlue,
    "imgEmail",
    "info_email",
    12,
};
}  // namespace

TfrmInfo::TfrmInfo(QWidget* owner)
    : LinkDialog(owner, kLook, kPostaAssistenza, QStringLiteral("mailto:") + kPostaAssistenza), imgEmail(icon) {}
