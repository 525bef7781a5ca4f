#include "windows/shell/LinkDialog.h"

#include "ui/Gradient.h"
#include "ui/PictureButton.h"
#include "windows/shell/OpenURL.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

const QColor LinkDialog::kPressed{255, 165, 0};

namespace {
constexpr int kMargin = 22;
constexpr QSize kIcon(36, 36);
constexpr QSize kButton(120, 34);
}  // namespace

LinkDialog::LinkDialog(QWidget* owner, const Look& look, const QString& linkText, QString target)
    : ui::Dialog(owner, QString::fromUtf8(look.caption), look.client, look.centre), target_(std::move(target)), link_(look.link) {
    auto* background = new ui::Gradient(QStringLiteral("bkgSfondo"), look.top, look.bottom, this);
    background->setGeometry(rect());

    QWidget* logoParent = this;
    QRect logoRect = look.logoGeometry;
    if (look.logoOutline.isValid()) {
        auto* box = new ui::Gradient(QStringLiteral("shpLogo"), ui::colour::kWhite, ui::colour::kWhite, this);
        box->SetOutline(look.logoOutline);
        box->setGeometry(look.logoGeometry);
        logoParent = box;
        logoRect = QRect(QPoint(0, 0), look.logoGeometry.size()).adjusted(1, 1, -1, -1);
    }
    imgLogo = new ui::Picture(QStringLiteral("imgLogo"), QString::fromLatin1(look.logo), logoRect.size(), logoParent);
    imgLogo->move(logoRect.topLeft());

    const int row = look.client.height() - kMargin - kButton.height();
    icon = new ui::PictureButton(QString::fromLatin1(look.iconName), QString::fromLatin1(look.iconPicture), kIcon,
                                 this);
    icon->move(kMargin, row + (kButton.height() - kIcon.height()) / 2);
    icon->setAccessibleName(linkText);

    lnkWeb = new QLabel(linkText, this);
    lnkWeb->setObjectName(QStringLiteral("lnkWeb"));
    QFont font(QStringLiteral("Tahoma"), 14);
    font.setUnderline(true);
    lnkWeb->setFont(font);
    lnkWeb->setCursor(Qt::PointingHandCursor);
    lnkWeb->adjustSize();
    lnkWeb->move(kMargin + kIcon.width() + 8, row + (kButton.height() - lnkWeb->height()) / 2);
    SetLinkColour(link_);

    btnChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    btnChiudi->setObjectName(QStringLiteral("btnChiudi"));
    btnChiudi->setFont(QFont(QStringLiteral("Verdana"), look.buttonPoints));
    btnChiudi->setCursor(Qt::PointingHandCursor);
    btnChiudi->setGeometry(QRect(QPoint(look.client.width() - kMargin - kButton.width(), row), kButton));
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);

    connect(icon, &ui::PictureButton::clicked, this, &LinkDialog::lnkWebClick);
    icon->installEventFilter(this);
    lnkWeb->installEventFilter(this);
}

void LinkDialog::lnkWebClick() {
    SetLinkColour(link_);
    TMisc::Open(target_);
}

void LinkDialog::SetLinkColour(const QColor& colour) {
    QPalette palette = lnkWeb->palette();
    palette.setColor(QPalette::WindowText, colour);
    lnkWeb->setPalette(palette);
}

// The icon and the link colour the text alike: orange while the mouse button
// is down on either, the link's own colour once it is released. A release over the link
// is its click; the icon reports its own.
bool LinkDialog::eventFilter(QObject* watched, QEvent* event) {
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if ((watched != icon && watched != lnkWeb) || (!press && !release))
        return ui::Dialog::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) return false;
    SetLinkColour(press ? kPressed : link_);
    if (release && watched == lnkWeb && lnkWeb->rect().contains(mouse->position().toPoint())) lnkWebClick();
    return false;
}
