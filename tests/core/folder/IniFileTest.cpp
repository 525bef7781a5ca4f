// INI files as Windows programs save them: every encoding with every kind of
// line ends, read key by key and written back in their own form.
#include "core/folder/IniFile.h"

#include "core/access/Crypt.h"
#include "core/access/PasswordFile.h"
#include "support/IniForms.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

using testing_support::IniForm;
using testing_support::IniForms;
using testing_support::TempFolder;

std::string S(const QString& text) { return text.toStdString(); }

TEST(IniForms, EveryKeyIsReadAndAWriteKeepsTheFilesForm) {
    const QStringList lines = {
        "; Velmora", "[Margini Busta]", "Superiore=12", "Sinistro= -3 ", "",
        "[Stampa Busta]", "Orientamento=Orizzontale", "Nota=caffè e città",
    };
    for (const IniForm& form : IniForms()) {
        SCOPED_TRACE(form.Name());
        TempFolder folder;
        const QString path = folder.File(QStringLiteral("Impostazioni.ini"));
        folder.Write(QStringLiteral("Impostazioni.ini"), form.Bytes(form.Text(lines)));
        IniFile ini(path);
        EXPECT_EQ(S(ini.ReadString("margini busta", "Superiore")), "12");
        EXPECT_EQ(S(ini.ReadString("Margini Busta", "SINISTRO")), "-3");
        EXPECT_EQ(S(ini.ReadString("Stampa Busta", "Orientamento")), "Orizzontale");
        EXPECT_EQ(ini.ReadString("Stampa Busta", "Nota"), QStringLiteral("caffè e città"));
        EXPECT_EQ(S(ini.ReadString("Stampa Busta", "Superiore", "manca")), "manca");

        // A key changed in its line, a key added after its section's last
        // line, a section added at the end: the other lines keep their bytes,
        // new lines take the ending of the line before them.
        ini.WriteString("Margini Busta", "Superiore", "7");
        ini.WriteString("Margini Busta", "Destro", "1");
        ini.WriteString("Accesso", "Valore", "5B69");
        QString expected;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            expected += (i == 2 ? QStringLiteral("Superiore=7") : lines[i]) + form.Ending(i);
            if (i == 3) expected += "Destro=1" + form.Ending(3);
        }
        const QString last = form.Ending(lines.size() - 1);
        expected += "[Accesso]" + last + "Valore=5B69" + last;
        EXPECT_EQ(folder.Read(QStringLiteral("Impostazioni.ini")), form.Bytes(expected));
        EXPECT_EQ(S(ini.ReadString("Margini Busta", "Destro")), "1");
        EXPECT_EQ(S(ini.ReadString("Accesso", "Valore")), "5B69");
    }
}

// A last line without an ending gets the file's own before the new lines.
TEST(IniForms, ALastLineWithoutAnEndingGetsTheFilesOwn) {
    for (const IniForm& form : IniForms()) {
        SCOPED_TRACE(form.Name());
        TempFolder folder;
        const QString text = form.Text({"[Margini Busta]", "Superiore=12"});
        folder.Write(QStringLiteral("prova.ini"), form.Bytes(text + "Sinistro=4"));
        IniFile ini(folder.File(QStringLiteral("prova.ini")));
        EXPECT_EQ(S(ini.ReadString("Margini Busta", "Sinistro")), "4");
        ini.WriteString("Stampa Busta", "Orientamento", "Verticale");
        EXPECT_EQ(folder.Read(QStringLiteral("prova.ini")),
                  form.Bytes(text + "Sinistro=4" + form.Ending(0) + "[Stampa Busta]" + form.Ending(0) +
                             "Orientamento=Verticale" + form.Ending(0)));
    }
}

// The password file in every form: the stored password is read, and a change
// writes the same cipher text into the file's own form.
TEST(IniForms, ThePasswordFileIsReadAndChangedInEveryForm) {
    for (const IniForm& form : IniForms()) {
        SCOPED_TRACE(form.Name());
        TempFolder folder;
        const auto file = [&](const QString& hex) {
            return form.Bytes(form.Text({"; Velmora", "[Accesso]", "Valore=" + hex, "Versione=1"}));
        };
        folder.Write(QStringLiteral("unins000.dll"), file(QStringLiteral("5B699B650C6B69E3A7D0F4E080CD")));
        EXPECT_EQ(S(ReadStoredPassword(folder.Folder())), "RICONOSCIMENTO");
        WriteStoredPassword(folder.Folder(), QStringLiteral(" nuova Chiave "));
        EXPECT_EQ(folder.Read(QStringLiteral("unins000.dll")), file(EncryptPassword(QStringLiteral("NUOVA CHIAVE"))));
        EXPECT_EQ(S(ReadStoredPassword(folder.Folder())), "NUOVA CHIAVE");
    }
}

}  // namespace
