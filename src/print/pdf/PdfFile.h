#pragma once
#include <QByteArray>
#include <QString>

#include <string_view>
#include <vector>

class ReplacingFile;

namespace report::pdf {

// A stream's data compressed as every stream of the file is (FlateDecode).
// Throws PrintError when zlib fails.
QByteArray Deflate(std::string_view data);

// The PDF file: numbered objects written one after the other, their byte
// offsets kept for the cross-reference table at the end. Every write is
// checked; a failed one throws PrintError.
class PdfFile {
public:
    // Writes the header into `file`, open, named `name` in messages.
    PdfFile(ReplacingFile& file, QString name);

    // The number of an object to be written later.
    int Reserve();
    void Object(int number, const QByteArray& body);
    // A stream object of data compressed by Deflate.
    void Stream(int number, const QByteArray& dictionary, const QByteArray& compressed);
    // The cross-reference table and trailer; then the file is put in place.
    void Finish(int catalog, int info);

    static QByteArray Ref(int number) { return QByteArray::number(number) + " 0 R"; }

private:
    void Begin(int number);
    void Write(const QByteArray& bytes);
    void Flush();
    [[noreturn]] void Fail(const QString& reason);

    ReplacingFile& file_;
    QString name_;
    std::vector<qint64> offsets_;
    QByteArray buffer_;
    qint64 written_ = 0;
};

}  // namespace report::pdf
