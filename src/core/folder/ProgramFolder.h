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

private:
    QString path_;
};
