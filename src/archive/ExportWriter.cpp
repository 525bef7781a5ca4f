#include "archive/ExportWriter.h"

#include "app/ProgramFolder.h"
#include "app/TextRules.h"
#include "archive/ShortText.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <functional>

namespace spreadsheet_export {
namespace {

static_assert(DataRecord::Note - DataRecord::Nome + 1 == Rows::kCells);

// The document head, up to the opening of the table.
constexpr const char* kHead[] = {
    "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" xmlns:x=\"urn:schemas-microsoft-com:office:excel\" "
    "xmlns=\"http://www.w3.org/TR/REC-html40\">",
    "<head>",
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">",
    "<!--[if gte mso 9]><xml>",
    "<x:ExcelWorkbook>",
    "<x:ExcelWorksheets>",
    "<x:ExcelWorksheet>",
    "<x:Name>Archivio Indirizzi</x:Name>",
    "<x:WorksheetOptions>",
    "<x:Selected/>",
    "<x:Panes>",
    "<x:Pane>",
    "<x:Number>1</x:Number>",
    "<x:ActiveRow>3</x:ActiveRow>",
    "</x:Pane>",
    "</x:Panes>",
    "<x:ProtectContents>False</x:ProtectContents>",
    "<x:ProtectObjects>False</x:ProtectObjects>",
    "<x:ProtectScenarios>False</x:ProtectScenarios>",
    "</x:WorksheetOptions>",
    "</x:ExcelWorksheet>",
    "</x:ExcelWorksheets>",
    "</x:ExcelWorkbook>",
    "</xml><![endif]-->",
    "</head>",
    "<body>",
    "<table x:str>",
};

struct Header {
    const char* text;
    int width;
};
constexpr Header kHeader[Rows::kCells] = {
    {"Nome etichetta", 300}, {"Tipo", 250},        {"Dati rigo 1", 450}, {"Dati rigo 2", 450}, {"Dati rigo 3", 450},
    {"Dati rigo 4", 450},    {"Dati rigo 5", 450}, {"Dati rigo 6", 450}, {"Note", 350},
};

constexpr const char* kEnd[] = {"</table>", "</body>", "</html>"};

void Put(QIODevice& out, const QByteArray& bytes) {
    if (out.write(bytes) != bytes.size()) throw FileError(out.errorString().toStdString());
}

// The cell text in the code page, with the three characters that markup
// would take as its own written as character references. The references
// replace the converted bytes, since a best-fit letter may itself be one of
// the three.
void AppendCellText(QByteArray& out, const QString& text) {
    for (char c : ToCodePage(TrimText(text))) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c; break;
        }
    }
}

}  // namespace

bool ListRows::Next(Row& row) {
    if (next_ == rows_.size()) return false;
    row = rows_[next_++];
    return true;
}

ArchiveRows::ArchiveRows(DataRecordFile& file)
    : file_(file), records_(file.RecordCount()), emptyLeft_(records_ > 0 ? 0 : kEmptyRows) {}

bool ArchiveRows::Next(Row& row) {
    if (records_ == 0) {
        if (emptyLeft_ == 0) return false;
        --emptyLeft_;
        row.fill(QString());
        return true;
    }
    if (file_.AtEnd()) return false;
    file_.Read(record_);
    for (int i = 0; i < kCells; ++i) row[static_cast<std::size_t>(i)] = record_.Text(DataRecord::Field(i));
    return true;
}

void Write(QIODevice& out, Rows& rows) {
    QByteArray bytes;
    for (const char* piece : kHead) bytes += piece;
    bytes += "<tr>";
    for (const Header& h : kHeader)
        bytes += QByteArray("<td style=\"text-align: left; font-weight: bold;\" width=") + QByteArray::number(h.width) +
                 '>' + h.text + "</td>";
    bytes += "</tr>";
    Put(out, bytes);

    Rows::Row row;
    while (rows.Next(row)) {
        bytes = "<tr>";
        for (const QString& cell : row) {
            bytes += "<td style=\"text-align: left;\">";
            AppendCellText(bytes, cell);
            bytes += "</td>";
        }
        bytes += "</tr>";
        Put(out, bytes);
    }

    bytes.clear();
    for (const char* piece : kEnd) bytes += piece;
    Put(out, bytes);
}

void WriteFile(const QString& path, Rows& rows) {
    const QFileInfo info(path);
    const QString lock = info.dir().filePath(QStringLiteral(".~lock.") + info.fileName() + QLatin1Char('#'));
    if (QFileInfo::exists(lock))
        throw FileError(QStringLiteral("%1 è aperto in un altro programma").arg(path).toStdString());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(QStringLiteral("Impossibile scrivere %1: %2").arg(path, file.errorString()).toStdString());
    Write(file, rows);  // on a throw the temporary file is removed, the file stays as it was
    // What is still buffered must reach the temporary file without error
    // before it replaces the file: commit alone does not report a failed flush.
    if (!file.flush() || !file.commit())
        throw FileError(QStringLiteral("Impossibile scrivere %1: %2").arg(path, file.errorString()).toStdString());
}

namespace {
// Opens the archive read only and hands its rows to the writing.
void WithArchiveRows(const ProgramFolder& folder, const std::function<void(Rows&)>& write) {
    DataRecordFile file;
    file.OpenForReading(folder.Path());
    ArchiveRows rows(file);
    write(rows);
    file.Close();
}
}  // namespace

void ExportArchive(const ProgramFolder& folder, const QString& path) {
    WithArchiveRows(folder, [&path](Rows& rows) { WriteFile(path, rows); });
}

void ExportArchive(const ProgramFolder& folder, QIODevice& out) {
    WithArchiveRows(folder, [&out](Rows& rows) { Write(out, rows); });
}

}  // namespace spreadsheet_export
