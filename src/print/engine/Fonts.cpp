#include "print/engine/Fonts.h"

#include "print/engine/Prepared.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

#include <utility>

namespace report {
namespace {

// The font names of the templates and windows, each with the family drawn
// for it: Liberation Sans and Liberation Mono are metric compatible with
// Arial and Courier New; Verdana is drawn as DejaVu Sans.
constexpr std::pair<QLatin1StringView, QLatin1StringView> kStandIns[] = {
    {QLatin1StringView("Arial"), QLatin1StringView("Liberation Sans")},
    {QLatin1StringView("Courier New"), QLatin1StringView("Liberation Mono")},
    {QLatin1StringView("Verdana"), QLatin1StringView("DejaVu Sans")},
};

}  // namespace

QString InstalledFamily(const QString& name) {
    for (const auto& [asked, drawn] : kStandIns)
        if (name.compare(asked, Qt::CaseInsensitive) == 0) return drawn;
    return name;
}

QStringList UseProgramFonts(const QString& programFolder) {
    QStringList unread;
    const QDir fonts(programFolder + u'/' + QLatin1StringView(kFontsFolder));
    // fontconfig reads its configuration when Qt first asks it for fonts.
    // Where the system has none, it would say so on every start and know no
    // font folder: the folder's own configuration names the fonts beside it.
    const QString config = fonts.filePath(QStringLiteral("fonts.conf"));
    if (!QFile::exists(QStringLiteral("/etc/fonts/fonts.conf")) && qEnvironmentVariableIsEmpty("FONTCONFIG_FILE") &&
        QFile::exists(config))
        qputenv("FONTCONFIG_FILE", QFile::encodeName(config));
    for (const QString& name : fonts.entryList({QStringLiteral("*.ttf"), QStringLiteral("*.otf")}, QDir::Files, QDir::Name))
        if (QFontDatabase::addApplicationFont(fonts.filePath(name)) < 0) unread << fonts.filePath(name);
    for (const auto& [asked, drawn] : kStandIns) QFont::insertSubstitution(asked, drawn);
    return unread;
}

}  // namespace report
