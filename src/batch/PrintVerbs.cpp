#include "batch/PrintVerbs.h"

#include "core/archive/DataRecord.h"
#include "core/archive/EnvelopeSettings.h"
#include "core/archive/PickerItem.h"
#include "core/sheets/SheetRecord.h"
#include "print/templates/Busta.h"
#include "print/templates/CalibrationSheet.h"
#include "print/templates/LabelSheet.h"
#include "print/templates/Riepilogo.h"

#include <QDateTime>

#include <array>
#include <memory>
#include <vector>

namespace batch {
namespace {

// What a numbered command calls the records it prints, for its messages.
struct Noun {
    const char* number;  // "numero di pagina"
    const char* word;    // "pagina", feminine
};
constexpr Noun kPage{"numero di pagina", "pagina"};
constexpr Noun kRecord{"numero di scheda", "scheda"};

// The records a numbered command prints, numbered from 1: "N", "A-B" or "all"
// (every record of the archive).
struct Range {
    long long first = 1;
    long long last = 0;
    bool all = false;
};

Range ParseRange(const QString& text, const Noun& noun) {
    if (text == QLatin1String("all")) return {1, 0, true};
    const auto number = [&](QStringView part) {
        bool ok = false;
        const long long n = part.toLongLong(&ok);
        if (!ok || n < 1) throw Failure(QStringLiteral("%1 non valido: %2").arg(QLatin1String(noun.number), text));
        return n;
    };
    const qsizetype dash = text.indexOf(QLatin1Char('-'));
    const Range range{number(QStringView(text).left(dash < 0 ? text.size() : dash)),
                      number(QStringView(text).mid(dash + 1))};
    if (range.first > range.last)
        throw Failure(QStringLiteral("intervallo non valido: %1 (il primo numero supera l'ultimo)").arg(text));
    return range;
}

// The records of the range `text` names in an archive that is only read; the
// whole range is checked when it is opened.
template <class Record>
class RecordRange {
public:
    RecordRange(const ProgramFolder& folder, const QString& text, const Noun& noun) {
        Range range = ParseRange(text, noun);
        file_.OpenForReading(folder.Path());
        const long long count = file_.RecordCount();
        if (range.all) range.last = count;
        if (range.last == 0)
            throw Failure(QStringLiteral("nessuna %1 in %2: l'archivio è vuoto")
                              .arg(QLatin1String(noun.word), QLatin1String(Record::kFileName)));
        if (range.last > count)
            throw Failure(QStringLiteral("la %1 %2 non esiste in %3 (%4 in archivio)")
                              .arg(QLatin1String(noun.word)).arg(range.last)
                              .arg(QLatin1String(Record::kFileName)).arg(count));
        first_ = range.first;
        count_ = range.last - range.first + 1;
    }

    long long Count() const { return count_; }
    // The range's record `i`, from 0.
    Record At(long long i) {
        Record record;
        file_.Seek(first_ - 1 + i);
        file_.Read(record);
        return record;
    }

private:
    RecordFile<Record> file_;
    long long first_ = 1, count_ = 0;
};

// A numbered command's document: one page a record of its range, each
// prepared from the template when it is wanted.
template <class Record>
Document Pages(std::unique_ptr<report::TrepReport> report, const ProgramFolder& folder, const QString& range,
               const Noun& noun, std::function<void(const Record&)> fill) {
    auto records = std::make_shared<RecordRange<Record>>(folder, range, noun);
    const long long count = records->Count();
    return PageByPage{std::move(report), count,
                      [records, fill = std::move(fill)](long long page) { fill(records->At(page)); }};
}

// The label sheets of a range, one page each.
template <class Record>
Document Sheets(const ProgramFolder& folder, const QString& range, const Noun& noun, const QString& name,
                const std::function<label_sheet::Lines(const Record&)>& lines) {
    auto sheet = label_sheet::Build(name);
    auto filler = std::make_shared<label_sheet::Filler>(*sheet);
    return Pages<Record>(std::move(sheet), folder, range, noun, [filler, lines](const Record& record) {
        CheckPrepared(filler->FillAndPrepare(lines(record)));
    });
}

}  // namespace

void CheckPrepared(const report::PrepareResult& prepared) {
    if (!prepared) throw Failure(QStringLiteral("preparazione non riuscita: ") + prepared.errors.join(QStringLiteral("; ")));
}

Document Sheet(const ProgramFolder& folder, const QStringList& args) {
    return Sheets<SheetRecord>(folder, args[0], kPage, label_sheet::kPageName, label_sheet::PageLines);
}

Document Record(const ProgramFolder& folder, const QStringList& args) {
    return Sheets<DataRecord>(folder, args[0], kRecord, label_sheet::kRecordName, [](const DataRecord& record) {
        std::array<QString, label_sheet::kLines> label;
        for (int line = 1; line <= label_sheet::kLines; ++line) label[line - 1] = record.Text(DataRecord::Rigo(line));
        return label_sheet::OnEveryLabel(label);
    });
}

Document TestSheet(const ProgramFolder&, const QStringList&) { return WholeReport{calibration_sheet::Build()}; }

Document Envelope(const ProgramFolder& folder, const QStringList& args) {
    const envelope_settings::Settings settings = envelope_settings::Read(folder);
    const auto margin = [](const QString& text, const QString& key) {
        const auto mm = envelope_settings::MarginMm(text);
        if (!mm)
            throw Failure(QStringLiteral("margine non valido in %1 (%2): %3")
                              .arg(envelope_settings::kFileName, key, text));
        return *mm;
    };
    const envelope::Placement placement{settings.landscape, margin(settings.top, envelope_settings::kTopKey),
                                        margin(settings.left, envelope_settings::kLeftKey)};
    auto report = envelope::Build();
    report::TrepReport* filled = report.get();
    return Pages<DataRecord>(std::move(report), folder, args[0], kRecord,
                             [filled, placement](const DataRecord& record) {
                                 envelope::Lines lines;
                                 for (int line = 1; line <= envelope::kLines; ++line)
                                     lines[line - 1] = record.Text(DataRecord::Rigo(line));
                                 CheckPrepared(envelope::FillAndPrepare(*filled, placement, lines));
                             });
}

Document Summary(const ProgramFolder& folder, const QStringList& args) {
    if (!args.isEmpty() && args[0] != QLatin1String("importa"))
        throw UsageError(QStringLiteral("argomento sconosciuto per summary: %1").arg(args[0]));
    std::vector<PickerItem> items;
    // The pickers create a missing archive; here it is a failure.
    DataRecordFile file;
    file.OpenForReading(folder.Path());
    ReadPickerItems(file, items);
    SortPickerItems(items);
    QStringList texts;
    for (const PickerItem& item : items) texts << item.text;
    auto report = summary::Build();
    CheckPrepared(summary::FillAndPrepare(*report, args.isEmpty() ? summary::kFindTitle : summary::kImportTitle,
                                          texts, QDateTime::currentDateTime()));
    return WholeReport{std::move(report)};
}

}  // namespace batch
