#include "windows/shell/OpenURL.h"

#include <QDesktopServices>

namespace {
TMisc::Opener& CurrentOpener() {
    static TMisc::Opener opener;
    return opener;
}

// A web or mail address keeps its scheme; anything else is a path. A path
// enclosed in double quotes (as a command line would write it) is unquoted.
QUrl Target(QString command) {
    if (command.size() >= 2 && command.startsWith(QLatin1Char('"')) && command.endsWith(QLatin1Char('"')))
        command = command.mid(1, command.size() - 2);
    const QUrl url(command);
    // One-letter schemes are drive letters of Windows paths, not schemes.
    if (url.scheme().size() > 1) return url;
    return QUrl::fromLocalFile(command);
}
}  // namespace

// The desktop's opener starts the associated program detached (xdg-open on
// Linux) and returns at once, so the window never waits for it; whether it
// succeeds is not looked at.
void TMisc::Open(const QString& sCommand) {
    const QUrl target = Target(sCommand);
    if (CurrentOpener())
        CurrentOpener()(target);
    else
        QDesktopServices::openUrl(target);
}

TMisc::Opener TMisc::SetOpener(Opener opener) {
    Opener previous = std::move(CurrentOpener());
    CurrentOpener() = std::move(opener);
    return previous;
}
