#pragma once
#include "core/folder/TempFiles.h"
#include "core/platform/Files.h"

#include <QString>


// The folder that holds the program and every file it uses. One object owns
// the path; everything else asks it for the full name of a file.
class ProgramFolder {
public:
    // The files the program keeps in the folder.
    static constexpr char kDataArchive[] = "Archivio_Dati.pro";
    static constexpr char kSheetArchive[] = "Archivio_Etichette.pro";
    static constexpr char kSettings[] = "Impostazioni.ini";
    static constexpr char kPasswordFile[] = "unins000.dll";  // an INI file, whatever its name
    static constexpr char kExport[] = "Archivio_Dati.xls";
    static constexpr char kGuide[] = "Guida.pdf";
    // The folder of the documents attached to the records.
    static constexpr char kAttachmentsFolder[] = "Documenti_Allegati";

    explicit ProgramFolder(QString path);

    // The folder of the running executable.
    static ProgramFolder OfExecutable();

    const QString& Path() const { return path_; }
    QString File(const QString& name) const;

    // Why a document must not be written into `output`: it lies in the
    // folder or one of its subfolders, whatever its name, reached by its name
    // or through links (the folders themselves are compared, volume and file
    // number, not their names). Empty when it may be written. `allowed` names
    // the one file of the folder itself that this output may replace. (A
    // document replaces a file by renaming over its name, so another hard
    // link of a folder's file elsewhere is replaced there and the folder's
    // file stays.)
    QString WriteRefusal(const QString& output, const QString& allowed = {}) const;
    // Why a print to file must not replace `output`: it is a file of the
    // folder or of its subfolders, reached as above, other than an earlier
    // print file (.prn) in the folder itself. New files may be written
    // anywhere.
    QString ReplaceRefusal(const QString& output) const;

    // The same two rules as guards of a ReplacingFile, asked about the folder
    // that the writer itself opened and writes into: a link swapped in
    // between the check and the write redirects nothing.
    ReplacingFile::Guard WriteGuard(const QString& output, const QString& allowed = {}) const;
    ReplacingFile::Guard ReplaceGuard(const QString& output) const;

private:
    // Where a name in an open folder lands in the program folder: its name
    // there, and whether it lies in the folder itself (not a subfolder);
    // none when it lands outside.
    struct Place {
        QString name;
        bool top = false;
    };
    std::optional<Place> PlaceOf(const platform::Folder& folder, const QString& name) const;
    // Asks a guard about the place `output` resolves to now.
    static QString Ask(const ReplacingFile::Guard& guard, const QString& output);

    QString path_;
};
