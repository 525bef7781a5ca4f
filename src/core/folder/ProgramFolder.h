#pragma once
#include <QString>

#include <optional>


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
    // or through links (the folders themselves are compared, device and
    // inode, not their names). Empty when it may be written. `allowed` names
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

private:
    // Where output lands in the folder, followed by its links: its name
    // there, and whether it lies in the folder itself (not a subfolder);
    // none when it lands outside.
    struct Place {
        QString name;
        bool top = false;
    };
    std::optional<Place> PlaceOf(const QString& output) const;

    QString path_;
};
