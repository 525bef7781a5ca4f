#include "app/ui/Application.h"

#include "app/ui/Messages.h"

#include <exception>

namespace ui {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ReportError(activeWindow(), QString::fromStdString(error.what()));
    } catch (...) {
        ReportError(activeWindow(), QStringLiteral("Errore imprevisto."));
    }
    return false;
}

}  // namespace ui
