#include "core/archive/ExportWriter.h"

#include "core/folder/FileAccess.h"
#include "core/folder/ProgramFolder.h"
#include "core/folder/TempFiles.h"
#include "core/folder/TextRules.h"
#include "core/archive/OfficeLock.h"
#include "core/archive/ShortText.h"


#include <cerrno>
#include <functional>
#include <string>


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

// The reason a write to `out` failed: Qt's own text, or the system's where Qt
// has none to give (a full disk during a buffered write).
QString WriteFailure(const QIODevice& out, int error) {
    const QString reason = out.errorString();
    return error != 0 && (reason.isEmpty() || reason == QLatin1String("Unknown error")) ? SystemReason(error) : reason;
}

void Put(QIODevice& out, const std::string& bytes) {
    errno = 0;
    if (out.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
        throw FileError(WriteFailure(out, errno).toStdString());
}

// A byte of the code page stands for a character of code 32 or below
// exactly when its own value is 32 or below, so the text rules' trimming
// works on the bytes alike.
QByteArrayView Trimmed(QByteArrayView cell) {
    qsizetype begin = 0;
    qsizetype end = cell.size();
    while (begin < end && static_cast<unsigned char>(cell[begin]) <= 32) ++begin;
    while (end > begin && static_cast<unsigned char>(cell[end - 1]) <= 32) --end;
    return cell.sliced(begin, end - begin);
}

// The opening of a data cell. Spreadsheet programs read an HTML cell as if it
// were typed: "=1+1" becomes a formula, "00144" the number 144, "1/2" a date.
// The cell's number format "@" (text) makes them keep the text as it stands:
// mso-number-format is Excel's markup for it, sdnum (language; language of
// the format, 0 for the same; format code) LibreOffice Calc's, which ignores
// the former and the table's x:str.
constexpr char kDataCell[] = "<td style=\"text-align: left; mso-number-format:\\@;\" sdnum=\"1040;0;@\">";

// The trimmed cell text as markup. The three characters that markup would
// take as its own are written as character references; so is a blank after a
// blank, which a reader of HTML would fold into the first, and every control
// character (a tab, a line break), which it would fold into a blank and
// which would break the file's one line.
void AppendCellText(std::string& out, QByteArrayView cell) {
    const QByteArrayView text = Trimmed(cell);
    qsizetype plain = 0;  // start of the run of bytes not yet appended
    for (qsizetype i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const char* named = c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : nullptr;
        const bool numbered = c < ' ' || (c == ' ' && text[i - 1] == ' ');  // text[0] is no blank: trimmed
        if (!named && !numbered) continue;
        out.append(text.data() + plain, static_cast<std::size_t>(i - plain));
        out.append(named ? std::string(named) : "&#" + std::to_string(c) + ';');
        plain = i + 1;
    }
    out.append(text.data() + plain, static_cast<std::size_t>(text.size() - plain));
}

QByteArrayView FieldBytes(const ShortText250& field) {
    return QByteArrayView(reinterpret_cast<const char*>(field.bytes.data() + 1), field.Length());
}

}  // namespace

QString CellText(QByteArrayView cell) { return TrimText(FromCodePage(cell.data(), cell.size())); }

ArchiveRows::ArchiveRows(DataRecordFile& file)
    : file_(file), records_(file.RecordCount()), emptyLeft_(records_ > 0 ? 0 : kEmptyRows) {}

bool ArchiveRows::Next(Row& row) {
    if (records_ == 0) {
        if (emptyLeft_ == 0) return false;
        --emptyLeft_;
        row.fill(QByteArrayView());
        return true;
    }
    if (read_ == records_) return false;
    file_.Read(record_);
    ++read_;
    for (std::size_t i = 0; i < row.size(); ++i) row[i] = FieldBytes(record_.field[i]);
    return true;
}

void Write(QIODevice& out, Rows& rows) {
    std::string bytes;
    for (const char* piece : kHead) bytes += piece;
    bytes += "<tr>";
    for (const Header& h : kHeader)
        bytes += "<td style=\"text-align: left; font-weight: bold;\" width=" + std::to_string(h.width) + '>' + h.text +
                 "</td>";
    bytes += "</tr>";
    Put(out, bytes);

    Rows::Row row;
    while (rows.Next(row)) {
        bytes = "<tr>";
        for (QByteArrayView cell : row) {
            bytes += kDataCell;
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

void WriteFile(const QString& path, Rows& rows, const ReplacingFile::Guard& guard) {
    const office_lock::Lock lock = office_lock::Inspect(path);
    if (lock.state == office_lock::State::Stale) {
        // Left by a crash of the office suite on this computer.
        const QString reason = office_lock::Remove(path);
        if (!reason.isEmpty()) throw FileFailure("eliminare", office_lock::PathFor(path), reason);
    } else if (lock.state != office_lock::State::None) {
        throw FileError(QStringLiteral("%1 è aperto da %2").arg(path, office_lock::Describe(lock.holder)).toStdString());
    }
    ReplacingFile file(path, guard);
    const auto failed = [&](const QString& reason) { return FileFailure("scrivere", path, reason); };
    if (!file.Open()) throw file.Refused() ? FileError(file.Reason().toStdString()) : failed(file.Reason());
    try {
        Write(file.Device(), rows);  // on a throw the temporary file is removed, the file stays as it was
    } catch (const FileError& error) {
        throw failed(QString::fromStdString(error.what()));
    }
    if (!file.Commit()) throw failed(file.Reason());
}

namespace {
// Opens the archive read only and hands its rows to the writing.
void WithArchiveRows(const ProgramFolder& folder, const std::function<void(Rows&)>& write) {
    DataRecordFile file;
    file.OpenForReading(folder.Path());
    ArchiveRows rows(file);
    write(rows);
    // The archive was only read: the handle closes unchecked, and nothing
    // about it can undo an export already in place.
}
}  // namespace

void ExportArchive(const ProgramFolder& folder, const QString& path) {
    WithArchiveRows(folder, [&](Rows& rows) { WriteFile(path, rows, folder.WriteGuard(path, kFileName)); });
}

void ExportArchive(const ProgramFolder& folder, QIODevice& out) {
    WithArchiveRows(folder, [&out](Rows& rows) { Write(out, rows); });
}

}  // namespace spreadsheet_export
