#include "core/access/PasswordFile.h"
#include "core/folder/IniFile.h"
#include "core/archive/DataRecord.h"
#include "core/archive/ImportCsv.h"
#include "core/sheets/SheetRecord.h"
#include "support/SpecialFiles.h"
#include "support/TempFolder.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <functional>

using testing_support::TempFolder;

namespace {

// A use of one file of the program folder.
struct Use {
    const char* file;
    const char* what;
    std::function<void(const TempFolder&)> run;
};

const Use kUses[] = {
    {"Archivio_Dati.pro", "open to read and write", [](const TempFolder& d) { DataRecordFile file(d.Path()); }},
    {"Archivio_Dati.pro", "open to read", [](const TempFolder& d) { DataRecordFile().OpenForReading(d.Path()); }},
    {"Archivio_Etichette.pro", "open to read and write", [](const TempFolder& d) { SheetRecordFile file(d.Path()); }},
    {"Archivio_Etichette.pro", "open to read", [](const TempFolder& d) { SheetRecordFile().OpenForReading(d.Path()); }},
    {"unins000.dll", "read the password", [](const TempFolder& d) { ReadStoredPassword(d.Folder()); }},
    {"unins000.dll", "write the password", [](const TempFolder& d) { WriteStoredPassword(d.Folder(), "nuova"); }},
    {"Impostazioni.ini", "read a setting",
     [](const TempFolder& d) { IniFile(d.File("Impostazioni.ini")).ReadString("Busta", "Margine"); }},
    {"Impostazioni.ini", "write a setting",
     [](const TempFolder& d) { IniFile(d.File("Impostazioni.ini")).WriteString("Busta", "Margine", "1"); }},
    {"nuovi.csv", "read a CSV file to import", [](const TempFolder& d) { csv_import::ReadFile(d.File("nuovi.csv"), false); }},
};

// A FIFO, a folder, a link to /dev/zero or a socket in place of an archive, the
// password file, the settings or a CSV file to import: the use fails at once (it neither blocks nor
// reads an endless or empty file), with a message that names the file and says
// what it is, and the thing stays as it was.
TEST(SpecialFiles, AreRefusedWithAMessageNamingTheFileAndWhatItIs) {
    for (const auto& special : testing_support::kSpecialFiles) {
        for (const Use& use : kUses) {
            SCOPED_TRACE(std::string(special.name) + " as " + use.file + ": " + use.what);
            TempFolder dir;
            const QString path = dir.File(QString::fromLatin1(use.file));
            ASSERT_TRUE(special.make(path));
            try {
                use.run(dir);
                ADD_FAILURE() << "no error";
            } catch (const std::exception& error) {
                const QString message = QString::fromStdString(error.what());
                EXPECT_TRUE(message.contains(path)) << error.what();
                EXPECT_TRUE(message.contains(QString::fromLatin1(special.word))) << error.what();
            }
            EXPECT_TRUE(QFileInfo::exists(path));
            EXPECT_FALSE(QFileInfo(path).isFile());
            EXPECT_EQ(QDir(dir.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
                      QStringList{QString::fromLatin1(use.file)});
        }
    }
}

}  // namespace
