// The input is a CSV file to import, after a byte that picks a chunk size (1
// to 16) and the --truncate switch: read a few bytes at a time it tells just
// what it tells read whole, its notices counted alike, and no row holds a
// field the archive cannot, nor a control character.
#include "FuzzSupport.h"

#include "core/archive/ImportCsv.h"

#include <algorithm>
#include <cstdint>

namespace {

// All that a read tells, to set two reads side by side.
QStringList Everything(const csv_import::Import& import) {
    // Every notice counted, the first ones kept.
    for (const csv_import::Notices* notices : {&import.errors, &import.warnings})
        FUZZ_CHECK(notices->Kept().size() <= csv_import::Notices::kKept &&
                   notices->Count() >= static_cast<long long>(notices->Kept().size()));
    QStringList all = {import.encoding, QString(QChar::fromLatin1(import.separator)),
                       QString::number(import.truncated), QString::number(import.errors.Count()),
                       QString::number(import.warnings.Count())};
    all << import.ignoredColumns;
    for (const csv_import::Row& row : import.rows)
        for (const QByteArray& field : row) {
            FUZZ_CHECK(field.size() <= ShortText250::kMaxLength);
            const QString text = FromCodePage(field.constData(), field.size());
            FUZZ_CHECK(std::none_of(text.begin(), text.end(),
                                    [](QChar c) { return c.category() == QChar::Other_Control; }));
            all << QString::fromLatin1(field.toHex());
        }
    for (const csv_import::Notice& notice : import.errors) all << QStringLiteral("E ") + notice.Describe();
    for (const csv_import::Notice& notice : import.warnings) all << QStringLiteral("W ") + notice.Describe();
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const qsizetype chunk = 1 + data[0] % 16;
    const bool truncate = data[0] & 0x10;
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    FUZZ_CHECK(Everything(csv_import::Read(bytes, truncate, chunk)) == Everything(csv_import::Read(bytes, truncate)));
    return 0;
}
