#pragma once
#include <QApplication>

class QLocale;

namespace ui {

// The application object of the toolkit: an error that no window catches
// reaches the general error report, a message box with the error's text. Qt's
// own texts speak Italian, as the program does, whatever the system's locale;
// every window has the program's icon.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Puts Qt's own texts (standard buttons, file dialogs) and the program's texts
// written in English (the preview, the print dialog) into the language of
// `locale`, from Qt's translations and the program's, in place of any
// language set before; false when Qt has none for it (they stay English).
bool TranslateQt(const QLocale& locale);

}  // namespace ui
