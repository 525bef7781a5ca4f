// Letters the code page lacks enter the archive one way wherever they come
// from, the way Windows converts them: a field, an attached document's name
// and the CSV import, each held to Wine's conversion.
#include "core/archive/AttachmentName.h"
#include "core/archive/ImportCsv.h"
#include "core/archive/ShortText.h"
#include "support/WindowsBestFit.h"

#include <gtest/gtest.h>

#include <cstring>

namespace ci = csv_import;
using testing_support::LetterTable;

namespace {

QByteArray Stored(const ShortText250& field) {
    return QByteArray(reinterpret_cast<const char*>(field.bytes.data() + 1), field.bytes[0]);
}

QString Text(const QByteArray& bytes) { return FromCodePage(bytes.constData(), bytes.size()); }

TEST(Letters, EnterFieldsNamesAndTheImportAsWindowsConvertsThem) {
    const QStringList& table = LetterTable();
    QString skipped;
    const std::vector<QByteArray> windows = testing_support::WindowsBestFit(table, skipped);
    if (!skipped.isEmpty()) GTEST_SKIP() << skipped.toStdString();
    ASSERT_EQ(windows.size(), static_cast<std::size_t>(table.size()));

    // The whole table as one UTF-8 file to import, a row for each text.
    QByteArray csv = "Nome;Tipo\n";
    for (const QString& text : table)
        csv += "\"" + QString(text).replace(u'"', QStringLiteral("\"\"")).toUtf8() + "\";x\n";
    const ci::Import import = ci::Read(csv, false);
    EXPECT_TRUE(import.errors.empty());
    ASSERT_EQ(import.rows.size(), static_cast<std::size_t>(table.size()));

    for (qsizetype i = 0; i < table.size(); ++i) {
        const QString& text = table[i];
        const QByteArray& expected = windows[std::size_t(i)];
        SCOPED_TRACE(text.toStdString() + " as Windows writes it: " + expected.toHex().toStdString());
        EXPECT_EQ(Stored(EncodeShortText(text)), expected);
        EXPECT_EQ(ToCodePage(text), expected);
        EXPECT_EQ(import.rows[std::size_t(i)][0], expected);
        QByteArray name = expected;
        for (char& c : name)
            if (std::strchr("\\/:*?\"<>|", c)) c = '_';
        EXPECT_EQ(AttachmentName(text), Text(name));
    }

    // Each row that lost a letter says which, and to what.
    int told = 0;
    for (const ci::Notice& warning : import.warnings) {
        if (warning.column != 1) continue;  // not about a name
        const QString& text = table[warning.line - 2];
        EXPECT_EQ(warning.text, QStringLiteral("lettere che l'archivio non può contenere, scritte come \"%1\" (%2)")
                                    .arg(Text(windows[std::size_t(warning.line - 2)]), ChangedLetters(text)));
        ++told;
    }
    int changed = 0;
    for (qsizetype i = 0; i < table.size(); ++i)
        changed += Text(windows[std::size_t(i)]) != table[i].normalized(QString::NormalizationForm_C);
    EXPECT_EQ(told, changed);
    EXPECT_GT(changed, 10);
}

}  // namespace
