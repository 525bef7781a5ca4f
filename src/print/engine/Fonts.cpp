#include "print/engine/Fonts.h"

#include "print/engine/Prepared.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

#include <atomic>
#include <mutex>
#include <optional>
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

// Where fontconfig finds its configuration, and the names drawn in the
// families that stand in for them: nothing read yet.
void PrepareProgramFonts(const QDir& fonts) {
    // fontconfig reads its configuration when Qt first asks it for fonts.
    // Where the system has none, it would say so on every start and know no
    // font folder: the folder's own configuration names the fonts beside it.
    const QString config = fonts.filePath(QStringLiteral("fonts.conf"));
    if (!QFile::exists(QStringLiteral("/etc/fonts/fonts.conf")) && qEnvironmentVariableIsEmpty("FONTCONFIG_FILE") &&
        QFile::exists(config))
        qputenv("FONTCONFIG_FILE", QFile::encodeName(config));
    for (const auto& [asked, drawn] : kStandIns) QFont::insertSubstitution(asked, drawn);
}

// Reads every font file of the folder; returns those that are no fonts.
QStringList ReadProgramFonts(const QDir& fonts) {
    QStringList unread;
    for (const QString& name : fonts.entryList({QStringLiteral("*.ttf"), QStringLiteral("*.otf")}, QDir::Files, QDir::Name))
        if (QFontDatabase::addApplicationFont(fonts.filePath(name)) < 0) unread << fonts.filePath(name);
    return unread;
}

QDir FontsOf(const QString& programFolder) { return QDir(programFolder + u'/' + QLatin1StringView(kFontsFolder)); }

// The fonts to read when a page first needs them.
struct Pending {
    QDir fonts;
    std::function<void(const QStringList&)> unread;
};
std::mutex pendingMutex;
std::optional<Pending> pending;
std::atomic<bool> anyPending{false};

}  // namespace

QString InstalledFamily(const QString& name) {
    for (const auto& [asked, drawn] : kStandIns)
        if (name.compare(asked, Qt::CaseInsensitive) == 0) return drawn;
    return name;
}

QStringList UseProgramFonts(const QString& programFolder) {
    const QDir fonts = FontsOf(programFolder);
    PrepareProgramFonts(fonts);
    return ReadProgramFonts(fonts);
}

void UseProgramFontsWhenNeeded(const QString& programFolder, std::function<void(const QStringList&)> unread) {
    const QDir fonts = FontsOf(programFolder);
    PrepareProgramFonts(fonts);
    const std::lock_guard lock(pendingMutex);
    pending = Pending{fonts, std::move(unread)};
    anyPending = true;
}

void ReadProgramFontsIfNeeded() {
    if (!anyPending) return;
    const std::lock_guard lock(pendingMutex);
    if (!pending) return;
    const QStringList unread = ReadProgramFonts(pending->fonts);
    if (!unread.isEmpty() && pending->unread) pending->unread(unread);
    pending.reset();
    anyPending = false;
}

}  // namespace report
