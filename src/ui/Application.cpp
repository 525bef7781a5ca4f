#include "ui/Application.h"

#include "ui/Accessibility.h"
#include "ui/Artwork.h"
#include "ui/Messages.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <exception>

namespace ui {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    // Every window shows the program's icon, the one of its desktop entry.
    setWindowIcon(Artwork::Icon(QStringLiteral("velmora")));
    setDesktopFileName(QStringLiteral("velmora"));
    // The program speaks Italian whatever the system's locale, Qt's own
    // dialogs with it (a minimal system often runs in C.UTF-8).
    TranslateQt(QLocale(QLocale::Italian, QLocale::Italy));
    InstallAccessibility();
}

bool TranslateQt(const QLocale& locale) {
    // The program's own texts written in English (the report's windows) lie
    // translated in the resources; Qt's lie where Qt keeps them.
    static QTranslator own;
    QCoreApplication::removeTranslator(&own);
    if (own.load(locale, QStringLiteral("velmora"), QStringLiteral("_"), QStringLiteral(":/translations")))
        QCoreApplication::installTranslator(&own);
    static QTranslator qt;
    QCoreApplication::removeTranslator(&qt);
    if (!qt.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&qt);
}

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
