#pragma once
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "ui/Messages.h"

#include <memory>
#include <vector>

class Velmora;

// The pictures of the user guide: the program's windows as the user sees
// them, opened the way the user opens them on a folder of sample records and
// grabbed on Qt's offscreen platform. The guide's build and its test take
// them through this one code, so the test can tell whether a guide shows the
// program as it is built.
namespace guida {

// The window classes listed in a shot list file: one a line, in the order
// the guide shows them; blank lines and lines starting with '#' are skipped.
// Throws std::runtime_error when the file cannot be read.
QStringList ReadShotList(const QString& path);

// The pictures at the top of the README, committed under docs/readme/: each
// the guide's picture of a window, or of a printed label sheet, brought down
// to a width a repository's page shows whole.
struct ReadmePicture {
    const char* file;     // under docs/readme/
    const char* shot;     // what Studio::Take takes
    const char* caption;  // the line under it in the README
};
const std::vector<ReadmePicture>& ReadmePictures();

class Studio {
public:
    // Needs the application object. Lays out a program folder with sample
    // records and label pages and starts the program on it.
    Studio();
    ~Studio();

    // The window of that class, grabbed without its frame. Throws
    // std::runtime_error for a class it does not know or a window that did
    // not open.
    QImage Take(const QString& windowClass);
    // A README picture as the program draws it now.
    QImage TakeForReadme(const ReadmePicture& picture);

    // Every window class Take knows.
    static QStringList Windows();

private:
    QTemporaryDir folder_;
    std::unique_ptr<Velmora> app_;
    QStringList said_;
    ui::MessageHandler previous_;
};

}  // namespace guida
