#include "batch/Batch.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[]) {
    // Pages are laid out with fonts, which need a GUI application; no window opens.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTextStream err(stderr);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return batch::Run(arguments, QCoreApplication::applicationDirPath(), err);
}
