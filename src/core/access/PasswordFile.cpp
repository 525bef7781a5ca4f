#include "core/access/PasswordFile.h"

#include "core/access/Crypt.h"
#include "core/folder/IniFile.h"
#include "core/folder/TextRules.h"

#include <algorithm>
#include <stdexcept>

namespace {
const QString kSection = QStringLiteral("Accesso");
const QString kKey = QStringLiteral("Valore");
}  // namespace

QString NormalizePassword(const QString& typed) { return TrimText(UpperAscii(typed)); }

bool IsStorablePassword(const QString& password) {
    return std::all_of(password.begin(), password.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

QString ReadStoredPassword(const ProgramFolder& folder) {
    const IniFile ini(folder.File(QLatin1String(ProgramFolder::kPasswordFile)));
    return TrimText(DecryptPassword(ini.ReadString(kSection, kKey)));
}

void WriteStoredPassword(const ProgramFolder& folder, const QString& password) {
    const QString stored = NormalizePassword(password);
    if (!IsStorablePassword(stored)) throw std::invalid_argument("password holds characters above U+00FF");
    IniFile ini(folder.File(QLatin1String(ProgramFolder::kPasswordFile)));
    ini.WriteString(kSection, kKey, EncryptPassword(stored));
}
