#include "windows/shell/Info.h"

#include "core/platform/Version.h"
#include "ui/Gradient.h"
#include "windows/shell/OpenURL.h"

#include <QLabel>

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
    ui::colour::kDarkBlue,
};
}  // namespace

TfrmInfo::TfrmInfo(QWidget* owner)
    : LinkDialog(owner, kLook, kPostaAssistenza, QStringLiteral("mailto:") + kPostaAssistenza), imgEmail(icon) {
    lblVersione = new QLabel(QStringLiteral("Versione %1").arg(QLatin1String(platform::kVersion)), this);
    lblVersione->setObjectName(QStringLiteral("lblVersione"));
    lblVersione->setFont(QFont(QStringLiteral("Verdana"), 12, QFont::Bold));
    QPalette palette = lblVersione->palette();
    palette.setColor(QPalette::WindowText, ui::colour::kDarkBlue);
    lblVersione->setPalette(palette);
    lblVersione->setAlignment(Qt::AlignCenter);
    lblVersione->setGeometry(22, 140, 476, 40);
}
