#include "windows/app/Velmora.h"
#include "ui/Application.h"

int main(int argc, char* argv[]) {
    ui::Application application(argc, argv);
    Velmora velmora(ProgramFolder::OfExecutable());
    velmora.Start();
    return application.exec();
}
