#pragma once
#include <QString>

#include <array>

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
    // Every one of them.
    static constexpr std::array<const char*, 6> kFiles{kDataArchive, kSheetArchive, kSettings,
                                                       kPasswordFile, kExport,      kGuide};
    // The folder of the documents attached to the records.
    static constexpr char kAttachmentsFolder[] = "Documenti_Allegati";

    explicit ProgramFolder(QString path);

    // The folder of the running executable.
    static ProgramFolder OfExecutable();

    const QString& Path() const { return path_; }
    QString File(const QString& name) const;

    // Why a document must not be written into `output`: it is one of the
    // folder's files or attached documents, by name, by a link or by another
    // hard link (the files themselves, device and inode, are compared, not
    // their names). Empty when it may be written. `allowed` names the one
    // file of the folder that this output may replace.
    QString WriteRefusal(const QString& output, const QString& allowed = {}) const;

private:
    QString path_;
};
