#include "ui/Messages.h"

#include "ui/ModalRunner.h"
#include "ui/WindowFrame.h"

#include <QMessageBox>
#include <QPushButton>

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
    box.setIcon(IconOf(kind));
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
