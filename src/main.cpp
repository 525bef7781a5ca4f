#include "app/Velmora.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    Velmora velmora(ProgramFolder::OfExecutable());
    velmora.Start();
    return application.exec();
}
