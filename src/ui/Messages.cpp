#include "ui/Messages.h"

#include "ui/Artwork.h"
#include "ui/ModalRunner.h"
#include "ui/WindowFrame.h"

#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>

namespace ui {
namespace {
MessageHandler& Handler() {
    static MessageHandler handler;
    return handler;
}

QMessageBox::Icon IconOf(Kind kind) {
    switch (kind) {
    case Kind::Warning: return QMessageBox::Warning;
    case Kind::Error: return QMessageBox::Critical;
    case Kind::Information: return QMessageBox::Information;
    case Kind::Confirmation: return QMessageBox::Question;
    case Kind::Plain: break;
    }
    return QMessageBox::NoIcon;
}

// The picture of each kind of icon (images/messaggio_*.svg).
const char* PictureOf(QMessageBox::Icon icon) {
    switch (icon) {
    case QMessageBox::Warning: return "messaggio_avviso";
    case QMessageBox::Critical: return "messaggio_errore";
    case QMessageBox::Information: return "messaggio_informazione";
    case QMessageBox::Question: return "messaggio_domanda";
    case QMessageBox::NoIcon: break;
    }
    return nullptr;
}

// The icon drawn from its picture for the box's pixels, so that it is sharp
// at any scale (the style's own icons are small bitmaps, soft once enlarged).
QPixmap SharpIcon(const char* picture, const QMessageBox& box) {
    const int side = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    const qreal ratio = box.devicePixelRatioF();
    QPixmap icon(QSize(side, side) * ratio);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    Artwork(QLatin1String(picture)).Draw(painter, QRectF(icon.rect()));
    painter.end();
    icon.setDevicePixelRatio(ratio);
    return icon;
}
}  // namespace

MessageHandler SetMessageHandler(MessageHandler handler) {
    std::swap(Handler(), handler);
    return handler;
}

Answer ShowMessage(QWidget* parent, const QString& text, Kind kind, Buttons buttons) {
    if (Handler()) return Handler()(Message{text, kind, buttons});

    QMessageBox box(parent);
    box.setWindowFlags(Qt::Dialog | kTitleOnly);
    box.setWindowTitle(QStringLiteral("Velmora"));
    // The kind of icon stays the box's own (what screen readers are told);
    // the picture shown is ours.
    box.setIcon(IconOf(kind));
    if (const char* picture = PictureOf(box.icon()))
        if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label")))
            label->setPixmap(SharpIcon(picture, box));
    box.setText(text);
    switch (buttons) {
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("Annulla"));
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("Sì"));
        box.button(QMessageBox::No)->setText(QStringLiteral("No"));
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (RunModal(box)) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return Answer::Ok;
    }
}

}  // namespace ui
