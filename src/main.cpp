#include "windows/app/Velmora.h"
#include "ui/Application.h"
#include "print/engine/Fonts.h"

#include <QDebug>

int main(int argc, char* argv[]) {
    ui::Application application(argc, argv);
    const ProgramFolder folder = ProgramFolder::OfExecutable();
    // Labels are drawn with the fonts of the program folder, the same everywhere.
    for (const QString& unread : report::UseProgramFonts(folder.Path())) qWarning() << "Font not readable:" << unread;
    Velmora velmora(folder);
    velmora.Start();
    return application.exec();
}
