#pragma once
#include <QString>

// The folder that holds the program and every file it uses. One object owns
// the path; everything else asks it for the full name of a file.
class ProgramFolder {
public:
    explicit ProgramFolder(QString path);

    // The folder of the running executable.
    static ProgramFolder OfExecutable();

    const QString& Path() const { return path_; }
    QString File(const QString& name) const;

private:
    QString path_;
};
