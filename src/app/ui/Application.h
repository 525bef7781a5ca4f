#pragma once
#include <QApplication>

namespace ui {

// The application object of the toolkit: an error that no window catches
// reaches the general error report, a message box with the error's text.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace ui
