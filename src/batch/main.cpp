#include "batch/Batch.h"
#include "core/platform/Process.h"
#include "print/engine/Fonts.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[]) {
    // The tool speaks through its own messages on standard error; Qt's notes
    // about the display it does not use would only get in their way.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    // A reader that closes its end of a pipe early makes the write fail, which
    // is reported, instead of ending the tool without a word.
    platform::KeepRunningOnClosedPipe();
    // Pages are laid out with fonts, which need a GUI application; no window opens.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTextStream err(stderr);
    // The tool's own fonts, not those of the --folder it reads, as the program
    // draws with its own; read when the first page is laid out, so that a
    // command that lays out none (refused, an export, an import) reads none.
    report::UseProgramFontsWhenNeeded(QCoreApplication::applicationDirPath(), [&err](const QStringList& unread) {
        for (const QString& file : unread) err << "velmora-batch: font non leggibile: " << file << Qt::endl;
    });
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return batch::Run(arguments, QCoreApplication::applicationDirPath(), err, platform::StandardErrorIsTerminal());
}
