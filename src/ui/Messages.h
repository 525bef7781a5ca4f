#pragma once
#include <QString>

#include <functional>

class QWidget;

// The one message box of the program. Every message passes through
// ShowMessage; tests replace the box with a handler that records the message
// and gives the answer.
namespace ui {

enum class Kind { Warning, Error, Information, Confirmation, Plain };
enum class Buttons { OkCancel, YesNo, Ok };
enum class Answer { Ok, Cancel, Yes, No };

struct Message {
    QString text;
    Kind kind;
    Buttons buttons;
};

Answer ShowMessage(QWidget* parent, const QString& text, Kind kind,
                   Buttons buttons = Buttons::OkCancel);

// A plain message box with an OK button only.
inline void ShowPlain(QWidget* parent, const QString& text) {
    ShowMessage(parent, text, Kind::Plain, Buttons::Ok);
}

// The general error report: an error that no window handles, shown with its
// text in an error box with an OK button.
inline void ReportError(QWidget* parent, const QString& text) {
    ShowMessage(parent, text, Kind::Error, Buttons::Ok);
}

using MessageHandler = std::function<Answer(const Message&)>;
// Installs a handler in place of the real box; an empty one restores the box.
// Returns the handler it replaces.
MessageHandler SetMessageHandler(MessageHandler handler);

}  // namespace ui
