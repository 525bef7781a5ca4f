#include "app/Velmora.h"
#include "app/ui/Application.h"

int main(int argc, char* argv[]) {
    ui::Application application(argc, argv);
    Velmora velmora(ProgramFolder::OfExecutable());
    velmora.Start();
    return application.exec();
}
