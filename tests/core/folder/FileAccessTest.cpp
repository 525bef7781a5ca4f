#include "core/access/PasswordFile.h"
#include "core/folder/IniFile.h"
#include "core/archive/DataRecord.h"
#include "core/archive/ImportCsv.h"
#include "core/archive/ExportWriter.h"
#include "core/platform/Locks.h"
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

// The files the program keeps beside others: the journal and the lock file
// of an archive, the spreadsheet program's lock file beside the export. Each
// is read without following a link.
struct SideUse {
    const char* file;
    const char* what;
    bool withoutLocks;  // the lock file stands in only where the system keeps no locks
    std::function<void(const TempFolder&)> run;
};

const SideUse kSideUses[] = {
    {"Archivio_Dati.pro.journal", "count the records", false,
     [](const TempFolder& d) { DataRecordFile file; file.OpenForReading(d.Path()); file.RecordCount(); }},
    {"Archivio_Dati.pro.journal", "append a record", false,
     [](const TempFolder& d) { DataRecordFile(d.Path()).Append(DataRecord()); }},
    {"Archivio_Dati.pro.journal", "rewrite a record in place", false,
     [](const TempFolder& d) { DataRecordFile file(d.Path()); file.Write(DataRecord()); }},
    {"Archivio_Dati.pro.lock", "append a record without advisory locks", true,
     [](const TempFolder& d) { DataRecordFile(d.Path()).Append(DataRecord()); }},
    {".~lock.Archivio_Dati.xls#", "export", false,
     [](const TempFolder& d) { spreadsheet_export::ExportArchive(d.Folder(), d.File("Archivio_Dati.xls")); }},
};

// A FIFO, a folder, a link or a socket in place of one of them: the use fails
// at once, naming the file and what stands there, and the archive is as it was.
TEST(SpecialFiles, InPlaceOfAJournalOrALockFileAreRefusedAtOnce) {
    for (const auto& special : testing_support::kSpecialFiles) {
        for (const SideUse& use : kSideUses) {
            SCOPED_TRACE(std::string(special.name) + " as " + use.file + ": " + use.what);
            TempFolder dir;
            DataRecordFile(dir.Path()).Append(DataRecord());
            const QByteArray archive = dir.Read("Archivio_Dati.pro");
            const QString path = dir.File(QString::fromLatin1(use.file));
            ASSERT_TRUE(special.make(path));
            const platform::LockCall previous = use.withoutLocks ? platform::SetLockCall([](const platform::File&) {
                return platform::LockResult::Unsupported;
            }) : nullptr;
            try {
                use.run(dir);
                ADD_FAILURE() << "no error";
            } catch (const std::exception& error) {
                const QString message = QString::fromStdString(error.what());
                EXPECT_TRUE(message.contains(path)) << error.what();
                const bool link = QFileInfo(path).isSymLink();
                EXPECT_TRUE(message.contains(link ? QStringLiteral("collegamento") : QString::fromLatin1(special.word)))
                    << error.what();
            }
            if (use.withoutLocks) platform::SetLockCall(previous);
            EXPECT_EQ(dir.Read("Archivio_Dati.pro"), archive);
            EXPECT_FALSE(QFileInfo(path).isFile());
        }
    }
}

}  // namespace
