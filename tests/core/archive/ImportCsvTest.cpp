// The CSV import as data: encodings, separators, headers, quoting, the checks
// with their lines and columns, and the append to the archive. Needs no
// widgets.
#include "core/archive/ImportCsv.h"

#include "core/folder/ProgramFolder.h"
#include "core/archive/ExportWriter.h"
#include "support/TempFolder.h"
#ifndef _WIN32
#include "support/Calc.h"
#include "support/WriteFailure.h"
#endif

#include <QDir>
#include <QFile>
#include <QStringEncoder>

#include <gtest/gtest.h>

namespace ci = csv_import;
using testing_support::TempFolder;

namespace {

std::string S(const QString& text) { return text.toStdString(); }

const QString kNoType = QStringLiteral("riga 1: manca la colonna del tipo (Tipo): le schede saranno senza tipo");

// The nine fields of each row as the archive gives them back.
std::vector<QStringList> Texts(const ci::Import& import) {
    std::vector<QStringList> rows;
    for (const ci::Row& row : import.rows) {
        const DataRecord record = ci::RecordOf(row);
        QStringList fields;
        for (int f = 0; f < ci::kFields; ++f) fields << record.Text(DataRecord::Field(f));
        rows.push_back(fields);
    }
    return rows;
}

QStringList Described(const ci::Notices& notices) {
    QStringList texts;
    for (const ci::Notice& notice : notices) texts << notice.Describe();
    return texts;
}

QByteArray Latin(const QString& text) { return ToCodePage(text); }

// All that a read tells, a line each, to set two reads side by side.
std::string Everything(const ci::Import& import) {
    QStringList all = {import.encoding, QString(QChar::fromLatin1(import.separator)),
                       QString::number(import.truncated), QStringLiteral("ignored:")};
    all << import.ignoredColumns << QStringLiteral("rows:");
    for (const QStringList& row : Texts(import)) all << row.join(u'|');
    all << QStringLiteral("errors:") << Described(import.errors) << QStringLiteral("warnings:")
        << Described(import.warnings);
    return S(all.join(u'\n'));
}

TEST(ImportCsv, EncodingsAndSeparatorsGiveTheSameAccents) {
    const QString header = QStringLiteral("Nome etichetta|Tipo|Dati rigo 1|Note");
    const QString row = QStringLiteral("Niccolò Bàrberi|Città|Via Dell'Università 3|perché è così");
    struct Case {
        const char* what;
        QByteArray bytes;
        QString encoding;
        char separator;
    };
    auto file = [&](char separator) {
        return QString(header + u'\n' + row + u'\n').replace(u'|', QChar::fromLatin1(separator));
    };
    const Case cases[] = {
        {"semicolon, Windows-1252, CRLF", Latin(file(';')).replace("\n", "\r\n"), "Windows-1252", ';'},
        {"comma, UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + file(',').toUtf8(), "UTF-8", ','},
        {"tab, UTF-8 without one", file('\t').toUtf8(), "UTF-8", '\t'},
        {"tab, UTF-16 with its byte-order mark (Excel's Unicode text)",
         QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom)(file('\t')), "UTF-16", '\t'},
    };
    const QStringList expected = {"Niccolò Bàrberi", "Città", "Via Dell'Università 3", "", "", "", "", "",
                                  "perché è così"};
    for (const Case& c : cases) {
        const ci::Import import = ci::Read(c.bytes, false);
        EXPECT_EQ(import.encoding, c.encoding) << c.what;
        EXPECT_EQ(import.separator, c.separator) << c.what;
        EXPECT_TRUE(import.errors.empty()) << c.what << S(Described(import.errors).join(u'\n'));
        EXPECT_TRUE(import.warnings.empty()) << c.what << S(Described(import.warnings).join(u'\n'));
        ASSERT_EQ(Texts(import).size(), 1u) << c.what;
        EXPECT_EQ(Texts(import)[0], expected) << c.what;
        EXPECT_EQ(import.rows[0][DataRecord::Tipo], QByteArray("Citt\xe0")) << c.what;
    }
}

// The encoding is the whole file's, read in chunks: Windows-1252 when its one
// byte that is no UTF-8 lies in the last chunk, even as the very last byte (a
// letter cut short by the end is no UTF-8 either), and UTF-8 when a chunk edge
// cuts a letter in two.
TEST(ImportCsv, TheEncodingIsTheWholeFilesReadInChunks) {
    QByteArray rows = "Nome;Rigo 1\n";
    while (rows.size() < 3 * ci::kChunkSize) rows += "Rossi;Via Roma 1\n";
    QByteArray cut = "Nome;Rigo 1\n";
    while (cut.size() < ci::kChunkSize - 40) cut += "Rossi;Via Roma 1\n";
    cut += QByteArray(ci::kChunkSize - 1 - cut.size() - 5, 'x') + ";Citt\xC3\xA0\n";  // "\xC3" ends the chunk
    struct Case {
        const char* what;
        QByteArray bytes;
        QString encoding;
        QString last;
    };
    const Case cases[] = {
        {"Windows-1252 letter in the last chunk", rows + "Ultimo;Citt\xE0 alta\n", "Windows-1252", "Città alta"},
        {"Windows-1252 letter as the last byte", rows + "Ultimo;Citt\xE0", "Windows-1252", "Città"},
        {"UTF-8 letter across a chunk edge", cut + rows, "UTF-8", "Via Roma 1"},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        dir.Write(QStringLiteral("indirizzi.csv"), c.bytes);
        const ci::Import import = ci::ReadFile(dir.File(QStringLiteral("indirizzi.csv")), false);
        EXPECT_EQ(import.encoding, c.encoding) << c.what;
        EXPECT_TRUE(import.errors.empty()) << c.what << S(Described(import.errors).join(u'\n'));
        EXPECT_EQ(Described(import.warnings), QStringList({kNoType})) << c.what;
        ASSERT_FALSE(import.rows.empty()) << c.what;
        EXPECT_EQ(Texts(import).back()[DataRecord::Rigo01], c.last) << c.what;
    }
    const ci::Import cutRead = ci::Read(cases[2].bytes, false);
    EXPECT_EQ(Texts(cutRead)[(cut.count('\n') - 2)][DataRecord::Rigo01], QStringLiteral("Città"));
}

// Headers in any case and spacing; unknown columns are ignored and listed.
TEST(ImportCsv, ColumnsAreMatchedByTheirHeaders) {
    const ci::Import import = ci::Read("NOTE,telefono, rigo  6 ,nome,RIGO 2,tipo,Dati Rigo 1,,DatiRigo3,Rigo04,rigo 5\n"
                                       "n,555,r6,nome,r2,t,r1,x,r3,r4,r5\n",
                                       false);
    EXPECT_TRUE(import.errors.empty()) << S(Described(import.errors).join(u'\n'));
    ASSERT_EQ(Texts(import).size(), 1u);
    EXPECT_EQ(Texts(import)[0], QStringList({"nome", "t", "r1", "r2", "r3", "r4", "r5", "r6", "n"}));
    EXPECT_EQ(import.ignoredColumns, QStringList({"telefono"}));
}

TEST(ImportCsv, HeadersThatCannotBeImported) {
    struct Case {
        QByteArray bytes;
        QString error;
    };
    const Case cases[] = {
        {"Tipo,Note\nt,n\n", "riga 1: manca la colonna del nome (Nome) o dei righi (Rigo 1 ... Rigo 6)"},
        {"Nome;Tipo;Nome etichetta\na;b;c\n", "riga 1, colonna 3 (Nome etichetta): colonna ripetuta"},
        {"\n\n", "il file è vuoto: manca la riga di intestazione"},
        {"", "il file è vuoto: manca la riga di intestazione"},
    };
    for (const Case& c : cases) {
        const ci::Import import = ci::Read(c.bytes, false);
        EXPECT_EQ(Described(import.errors), QStringList({c.error})) << c.bytes.toStdString();
    }
    // Lines without names are allowed, with one warning.
    const ci::Import lines = ci::Read("Rigo 1,Rigo 2\nVia Roma 1,Roma\n", false);
    EXPECT_TRUE(lines.errors.empty());
    EXPECT_EQ(lines.rows.size(), 1u);
    EXPECT_EQ(Described(lines.warnings),
              QStringList({"riga 1: manca la colonna del nome: le schede non compariranno nella ricerca", kNoType}));
}

// Quoted cells hold separators, doubled quotes and line breaks; each notice
// names the line its row starts on, counting those breaks.
TEST(ImportCsv, QuotingFollowsTheRulesAndLinesAreCounted) {
    const QByteArray bytes =
        "Nome,Rigo 1,Note\r\n"
        "\"Rossi, Mario\",\"Via \"\"Roma\"\" 1\",\"due\r\nrighe\"\r\n"
        "\r\n"
        "Bianchi,\"a\n\nb\",\r\n"
        "Verdi,Via 1,n,extra\r\n"
        ",,\r\n"
        "\"\",Via Senza Nome,\r\n";
    const ci::Import import = ci::Read(bytes, false);
    ASSERT_EQ(Texts(import).size(), 4u);
    EXPECT_EQ(Texts(import)[0].mid(0, 3), QStringList({"Rossi, Mario", "", "Via \"Roma\" 1"}));
    EXPECT_EQ(Texts(import)[0][DataRecord::Note], QStringLiteral("due righe"));
    EXPECT_EQ(Texts(import)[1][DataRecord::Rigo01], QStringLiteral("a b"));
    EXPECT_EQ(Texts(import)[3][DataRecord::Rigo01], QStringLiteral("Via Senza Nome"));
    EXPECT_EQ(Described(import.errors),
              QStringList({"riga 8, colonna 4: la riga ha più celle dell'intestazione (3)"}));
    EXPECT_EQ(Described(import.warnings),
              QStringList({kNoType, "riga 2, colonna 3 (Note): testo su più righe, unito in una riga",
                           "riga 5, colonna 2 (Rigo 1): testo su più righe, unito in una riga",
                           "riga 10: scheda senza nome: non comparirà nella ricerca"}));
    // Lines ended by a carriage return alone are counted the same.
    const ci::Import macintosh = ci::Read(QByteArray(bytes).replace("\r\n", "\r"), false);
    EXPECT_EQ(Texts(macintosh), Texts(import));
    EXPECT_EQ(Described(macintosh.errors), Described(import.errors));
    EXPECT_EQ(Described(macintosh.warnings), Described(import.warnings));
    // Empty cells beyond the header lose nothing and are no error.
    EXPECT_TRUE(ci::Read("Nome;Rigo 1\na;b;;\n", false).errors.empty());
}

// A file read a few bytes at a time tells what it tells read whole: every chunk
// edge, between the "\r" and "\n" of a line end, after a lone "\r", inside a
// quoted cell or a letter of several bytes, gives the same rows, and notices on
// the same lines.
TEST(ImportCsv, ChunkEdgesChangeNothing) {
    const QString text = QStringLiteral(
        "Nome;Rigo 1;Note\r\n"
        "\"Rossi; Niccolò\";\"Via \"\"Roma\"\" 1\";\"due\r\nrighe\"\r\n"
        "\r\n"
        "Bianchi;\"a\n\nb\";\"c\rd\"\r\n"
        "Verdi;Via 1;n;extra\r"
        ";;\n"
        ";\"Città\r\n\";\r\n"
        "\"ul\r\ntima\";senza fine");
    struct Case {
        const char* what;
        QByteArray bytes;
        QString encoding;
    };
    const Case cases[] = {
        {"UTF-8", text.toUtf8(), "UTF-8"},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + text.toUtf8(), "UTF-8"},
        {"Windows-1252", Latin(text), "Windows-1252"},
        {"UTF-16", QStringEncoder(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom)(text), "UTF-16"},
    };
    const QStringList errors = {"riga 9, colonna 4: la riga ha più celle dell'intestazione (3)"};
    const QStringList warnings = {kNoType, "riga 2, colonna 3 (Note): testo su più righe, unito in una riga",
                                  "riga 5, colonna 2 (Rigo 1): testo su più righe, unito in una riga",
                                  "riga 5, colonna 3 (Note): testo su più righe, unito in una riga",
                                  "riga 11: scheda senza nome: non comparirà nella ricerca",
                                  "riga 13, colonna 1 (Nome): testo su più righe, unito in una riga"};
    for (const Case& c : cases) {
        const ci::Import whole = ci::Read(c.bytes, false);
        EXPECT_EQ(whole.encoding, c.encoding) << c.what;
        EXPECT_EQ(Described(whole.errors), errors) << c.what;
        EXPECT_EQ(Described(whole.warnings), warnings) << c.what;
        EXPECT_EQ(Texts(whole).size(), 5u) << c.what;
        for (qsizetype chunk = 1; chunk < c.bytes.size(); ++chunk)
            ASSERT_EQ(Everything(ci::Read(c.bytes, false, chunk)), Everything(whole)) << c.what << ", chunks of " << chunk;
    }
}

// The bytes of a literal, NULs included.
template <std::size_t N>
QByteArray Bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

// UTF-16LE with its byte-order mark, code unit for code unit: a lone
// surrogate stays one.
QByteArray Utf16(const QString& text) {
    return "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// What the read refuses and warns about in each kind of file, each notice with
// the file's own line, and what it stores; read a few bytes at a time it tells
// the same.
TEST(ImportCsv, RefusalsAndWarningsNameTheFilesLines) {
    const QString open = QStringLiteral("virgolette aperte e mai chiuse: il resto del file sarebbe una cella sola");
    const QString controls = QStringLiteral("caratteri di controllo tolti");
    const QString noType = QStringLiteral("scheda senza tipo: da completare nell'archivio dati");
    const QString noLine = QStringLiteral("scheda senza primo rigo: da completare nell'archivio dati");
    struct Case {
        const char* what;
        QByteArray bytes;
        QStringList errors;
        QStringList warnings;
        QStringList first;  // Nome, Tipo and Rigo01 of the first row, when it matters
    };
    const Case cases[] = {
        {"a quote left open merges the rows after it", "Nome;Tipo;Rigo 1\nRossi;Postale;\"Via Roma 1\nBianchi;Postale;Via 2\n",
         {"riga 2, colonna 3 (Rigo 1): " + open}, {}, {}},
        {"a quote left open in the last row", "Nome;Tipo;Rigo 1\r\nRossi;Postale;\"Via Roma 1", {"riga 2, colonna 3 (Rigo 1): " + open}, {}, {}},
        {"a quote left open on a line of its row after the first", "Nome;Tipo;Rigo 1\n\"Rossi\nMario\";Postale;\"Via\nRoma\n",
         {"riga 3, colonna 3 (Rigo 1): " + open}, {"riga 2, colonna 1 (Nome): testo su più righe, unito in una riga"}, {}},
        {"a quote left open in the header", "Nome;\"Tipo\n", {"riga 1, colonna 2: " + open}, {}, {}},
        {"a quote closed by the last byte", "Nome;Tipo;Rigo 1\nRossi;Postale;\"Via \"\"Roma\"\"\"", {}, {},
         {"Rossi", "Postale", "Via \"Roma\""}},
        {"blank lines before a row", "Nome;Tipo;Rigo 1\r\n\r\n;;\r\nRossi;;Via 1\r\n", {}, {"riga 4: " + noType},
         {"Rossi", "", "Via 1"}},
        {"blank name, type and first line",
         "Nome;Tipo;Rigo 1;Rigo 2\nRossi;;;Roma\n\"Bianchi\nLuca\";Postale;\n;Postale;Via 3\n", {},
         {"riga 2: " + noType, "riga 2: " + noLine, "riga 3, colonna 1 (Nome): testo su più righe, unito in una riga",
          "riga 3: " + noLine,
          "riga 5: scheda senza nome: non comparirà nella ricerca"},
         {"Rossi", "", ""}},
        {"no columns of type and first line", "Nome\nRossi\n", {},
         {"riga 1: manca la colonna del tipo (Tipo): le schede saranno senza tipo",
          "riga 1: manca la colonna del primo rigo (Rigo 1): le schede saranno senza primo rigo"},
         {"Rossi", "", ""}},
        {"a tab in a quoted cell", "Nome\tTipo\tRigo 1\nRossi\tPostale\t\"Via\tRoma\t\"\n", {},
         {"riga 2, colonna 3 (Rigo 1): tabulazioni sostituite da spazi"}, {"Rossi", "Postale", "Via Roma"}},
        {"line breaks in a quoted cell", "Nome;Tipo;Rigo 1\nRossi;\"Post\r\n\rale\";Via 1\n", {},
         {"riga 2, colonna 2 (Tipo): testo su più righe, unito in una riga"}, {"Rossi", "Post ale", "Via 1"}},
        {"NUL and other controls", Bytes("Nome;Tipo;Rigo 1\nRos\0si;\x01Post\x07" "ale;\"Via\x7F 1\x1B\"\n"), {},
         {"riga 2, colonna 1 (Nome): " + controls, "riga 2, colonna 2 (Tipo): " + controls,
          "riga 2, colonna 3 (Rigo 1): " + controls},
         {"Rossi", "Postale", "Via 1"}},
        {"a control that Windows-1252 leaves unassigned", "Nome;Tipo;Rigo 1\nRossi;Postale;Via\x81 Citt\xE0\n", {},
         {"riga 2, colonna 3 (Rigo 1): " + controls}, {"Rossi", "Postale", "Via Città"}},
        {"UTF-8 letters in a file read as Windows-1252", "Nome;Tipo;Rigo 1\nCaff\xE8;Bar;Via 1\nCaff\xC3\xA8;Bar;Via 2\n",
         {},
         {"riga 3, colonna 1 (Nome): testo in UTF-8 in un file letto come Windows-1252, scritto come \"CaffÃ¨\""},
         {"Caffè", "Bar", "Via 1"}},
        {"a byte that is no UTF-8 after a UTF-8 mark", "\xEF\xBB\xBFNome;Tipo;Rigo 1\nRossi;Postale;Via \xFF 1\n", {},
         {"riga 2, colonna 3 (Rigo 1): caratteri non validi in UTF-8, scritti come \"?\""}, {"Rossi", "Postale", "Via ? 1"}},
        {"a lone surrogate in UTF-16",
         Utf16(QStringLiteral("Nome;Tipo;Rigo 1\nRossi;Postale;Via ") + QChar(0xD800) + QStringLiteral(" 1\n")), {},
         {"riga 2, colonna 3 (Rigo 1): caratteri non validi in UTF-16, scritti come \"?\""}, {"Rossi", "Postale", "Via ? 1"}},
        {"a letter beyond the first plane in UTF-16", Utf16(QStringLiteral("Nome;Tipo;Rigo 1\nRossi;Postale;Via 😀 1\n")), {},
         {"riga 2, colonna 3 (Rigo 1): lettere che l'archivio non può contenere, scritte come \"Via ?? 1\" (😀 → ?\?)"},
         {"Rossi", "Postale", "Via ?? 1"}},
    };
    for (const Case& c : cases) {
        const ci::Import whole = ci::Read(c.bytes, false);
        EXPECT_EQ(S(Described(whole.errors).join(u'\n')), S(c.errors.join(u'\n'))) << c.what;
        EXPECT_EQ(S(Described(whole.warnings).join(u'\n')), S(c.warnings.join(u'\n'))) << c.what;
        if (!c.first.isEmpty()) {
            ASSERT_FALSE(whole.rows.empty()) << c.what;
            EXPECT_EQ(S(Texts(whole)[0].mid(0, 3).join(u'|')), S(c.first.join(u'|'))) << c.what;
        }
        for (qsizetype chunk = 1; chunk < c.bytes.size(); ++chunk)
            ASSERT_EQ(Everything(ci::Read(c.bytes, false, chunk)), Everything(whole)) << c.what << ", chunks of " << chunk;
    }
}

// A file with a notice on every row keeps the first ones by line, a fixed
// number of each kind, and counts all of them: listed, those not shown are one
// line "… e altri N"; the summary counts every warning.
TEST(ImportCsv, NoticesKeptAreTheFirstAndAllAreCounted) {
    const QString noName = QStringLiteral("scheda senza nome: non comparirà nella ricerca");
    const QString extra = QStringLiteral("colonna 4: la riga ha più celle dell'intestazione (3)");
    struct Case {
        const char* what;
        QByteArray bytes;
        long long errors;
        long long warnings;
        QString first;  // the first error, else the first warning
    };
    const Case cases[] = {
        {"250 rows without a name", "Nome;Tipo;Rigo 1\n" + QByteArray(";t;via\n").repeated(250), 0, 250,
         "riga 2: " + noName},
        {"250 rows with a cell too many, and no name", "Nome;Tipo;Rigo 1\n" + QByteArray(";t;via;x\n").repeated(250),
         250, 250, "riga 2, " + extra},
        {"one row with 250 cells too many", "Nome;Tipo;Rigo 1\nRossi;t;via" + QByteArray(";x").repeated(250) + "\n",
         250, 0, "riga 2, " + extra},
        {"as many notices as are kept", "Nome;Tipo;Rigo 1\n" + QByteArray(";t;via\n").repeated(ci::Notices::kKept), 0,
         ci::Notices::kKept, "riga 2: " + noName},
    };
    for (const Case& c : cases) {
        const ci::Import import = ci::Read(c.bytes, false);
        for (const auto& [notices, count] : {std::pair(&import.errors, c.errors), std::pair(&import.warnings, c.warnings)}) {
            const auto kept = static_cast<long long>(std::min<std::size_t>(ci::Notices::kKept, count));
            EXPECT_EQ(notices->Count(), count) << c.what;
            ASSERT_EQ(static_cast<long long>(notices->Kept().size()), kept) << c.what;
            // The first ones, in the order of the file's lines and cells.
            for (std::size_t i = 1; i < notices->Kept().size(); ++i)
                EXPECT_GE(notices->Kept()[i].line * 1000 + notices->Kept()[i].column,
                          notices->Kept()[i - 1].line * 1000 + notices->Kept()[i - 1].column) << c.what;
            const QStringList lines = notices->Lines();
            ASSERT_EQ(lines.size(), count > kept ? kept + 1 : kept) << c.what;
            if (count > kept) {
                EXPECT_EQ(lines.back(), QStringLiteral("… e altri %1").arg(count - kept)) << c.what;
            }
            const QStringList five = notices->Lines(5, QStringLiteral("... e altri %1."));
            EXPECT_EQ(five.mid(0, 5), lines.mid(0, 5)) << c.what;
            EXPECT_EQ(five.size(), std::min(count, 6LL)) << c.what;
            if (count > 5) {
                EXPECT_EQ(five.back(), QStringLiteral("... e altri %1.").arg(count - 5)) << c.what;
            }
        }
        EXPECT_EQ(Described(c.errors > 0 ? import.errors : import.warnings).value(0), c.first) << c.what;
        EXPECT_TRUE(import.Summary().endsWith(QStringLiteral(", %1 avvisi").arg(c.warnings))) << c.what;
    }
}

// Whether a field holds a control character as the archive's code page reads
// it (the C0 controls, DEL, and the C1 controls of its unassigned bytes).
bool HoldsControl(const QByteArray& field) {
    const QString text = FromCodePage(field.constData(), field.size());
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

// No field of any file holds a control character, whatever the file holds:
// every byte in cells quoted and not, every UTF-16 code unit below 0x100 and a
// lone surrogate, and every input of the fuzzer's corpus.
TEST(ImportCsv, NoFieldHoldsAControlCharacter) {
    QByteArray bytes;
    QString units;
    for (int b = 0; b < 0x100; ++b) {
        bytes += static_cast<char>(b);
        units += QChar(b);
    }
    std::vector<QByteArray> files = {
        "Nome;Tipo;Rigo 1;Note\nx" + bytes + ";\"" + QByteArray(bytes).replace('"', "\"\"") + "\";y\n",
        "Nome,Tipo\n\"" + QByteArray(bytes).replace('"', "\"\"") + "\"," + bytes.mid(1),
        "\xEF\xBB\xBF" "Nome\tNote\n\"" + QByteArray(bytes).replace('"', "\"\"") + "\"\tx\n",
        Utf16(QStringLiteral("Nome;Rigo 1\n\"") + QString(units).replace(u'"', QStringLiteral("\"\"")) + u'"' +
              QChar(0xDC00) + QStringLiteral(";x\n")),
    };
    const QDir corpus(QStringLiteral(VELMORA_CSV_CORPUS));
    const QStringList inputs = corpus.entryList(QDir::Files);
    EXPECT_FALSE(inputs.isEmpty()) << VELMORA_CSV_CORPUS;
    for (const QString& name : inputs) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << S(name);
        files.push_back(file.readAll().mid(1));  // past the byte that picks the fuzzer's chunk size
    }
    std::size_t fields = 0;
    for (const QByteArray& file : files)
        for (const bool truncate : {false, true})
            for (const ci::Row& row : ci::Read(file, truncate).rows)
                for (const QByteArray& field : row) {
                    EXPECT_FALSE(HoldsControl(field)) << field.toHex().toStdString();
                    fields += !field.isEmpty();
                }
    EXPECT_GT(fields, 8u);  // the files above alone fill more
}

TEST(ImportCsv, FieldsAreCheckedAsTheArchiveStoresThem) {
    const QString longName = QString(245, u'x') + QStringLiteral("àèìòù€ABCDE");  // 256 bytes in Windows-1252
    const QByteArray bytes = ("Nome;Tipo;Rigo 1\n"
                              "  breve  ;Li 中;ok\n"
                              "uno;" + longName + ";ok\n").toUtf8();
    const ci::Import refused = ci::Read(bytes, false);
    EXPECT_EQ(Described(refused.errors),
              QStringList({"riga 3, colonna 2 (Tipo): testo di 256 caratteri, l'archivio ne contiene al massimo 250"}));
    EXPECT_EQ(Described(refused.warnings),
              QStringList({"riga 2, colonna 2 (Tipo): lettere che l'archivio non può contenere, scritte come \"Li ?\" (中 → ?)"}));
    EXPECT_EQ(refused.Summary(), QStringLiteral("2 schede da importare, 1 avviso"));

    const ci::Import cut = ci::Read(bytes, true);
    EXPECT_TRUE(cut.errors.empty());
    EXPECT_EQ(cut.truncated, 1);
    EXPECT_EQ(cut.warnings.Count(), 2);
    EXPECT_EQ(Described(cut.warnings)[1], QStringLiteral("riga 3, colonna 2 (Tipo): testo di 256 caratteri, tagliato a 250"));
    ASSERT_EQ(Texts(cut).size(), 2u);
    EXPECT_EQ(Texts(cut)[0].mid(0, 3), QStringList({"breve", "Li ?", "ok"}));
    EXPECT_EQ(Texts(cut)[1][DataRecord::Tipo], longName.left(250));
    EXPECT_EQ(cut.rows[1][DataRecord::Tipo].size(), 250);
    EXPECT_EQ(cut.Summary(), QStringLiteral("2 schede da importare, 2 avvisi"));
    EXPECT_EQ(ci::Read("Nome;Tipo;Rigo 1\nuno;t;r\n", false).Summary(), QStringLiteral("1 scheda da importare, 0 avvisi"));
}

// Rows of every field length, from none to 250 bytes of any value, come back
// as they went in from the blocks that hold them; a longer field is refused.
TEST(ImportCsv, RowsComeBackAsTheyWentIn) {
    ci::Rows rows;
    std::vector<ci::Row> expected;
    for (int i = 0; i < 3000; ++i) {  // about 3 MiB
        ci::Row row;
        for (int f = 0; f < ci::kFields; ++f) row[f] = QByteArray((i * 7 + f * 31) % 251, static_cast<char>(i + f));
        rows.push_back(row);
        expected.push_back(row);
    }
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(rows[i], expected[i]) << i;
    std::size_t i = 0;
    for (const ci::Row& row : rows) ASSERT_EQ(row, expected[i++]) << i;
    EXPECT_EQ(i, expected.size());
    EXPECT_THROW(rows.push_back({QByteArray(251, 'x')}), std::length_error);
    EXPECT_EQ(rows.size(), expected.size());
}

DataRecord Stored(const QString& name) {
    DataRecord record;
    record.SetText(DataRecord::Nome, name);
    record.SetText(DataRecord::File01, name + QStringLiteral(".pdf"));
    return record;
}

TEST(ImportCsv, AppendsAfterTheRecordsInTheFilesOrder) {
    TempFolder dir;
    {
        DataRecordFile file(dir.Path());
        file.Append(Stored(QStringLiteral("primo")));
        file.Append(Stored(QStringLiteral("secondo")));
    }
    const QByteArray before = dir.Read(QStringLiteral("Archivio_Dati.pro"));
    const ci::Import import = ci::Read("Nome,Tipo\nuno,a\ndue,b\ntre,c\n", false);
    EXPECT_EQ(ci::Append(dir.Path(), import).first, 3);

    const QByteArray after = dir.Read(QStringLiteral("Archivio_Dati.pro"));
    ASSERT_EQ(after.size(), 5 * 3765);
    EXPECT_EQ(after.left(before.size()), before);
    for (int i = 0; i < 3; ++i) {
        const DataRecord expected = ci::RecordOf(import.rows[i]);
        EXPECT_EQ(after.mid((2 + i) * 3765, 3765),
                  QByteArray(reinterpret_cast<const char*>(&expected), sizeof expected)) << i;
    }
}

// A refused import, or a write that fails half way, leaves the archive byte
// for byte as it was.
TEST(ImportCsv, NothingOrAllIsWritten) {
    TempFolder dir;
    DataRecordFile(dir.Path()).Append(Stored(QStringLiteral("primo")));
    const QByteArray before = dir.Read(QStringLiteral("Archivio_Dati.pro"));

    QByteArray bytes = "Nome,Rigo 1\n";
    for (int i = 0; i < 2000; ++i) bytes += "nome" + QByteArray::number(i) + ",via\n";
    const ci::Import refused = ci::Read(bytes + "lungo," + QByteArray(251, 'x') + "\n", false);
    ASSERT_EQ(refused.errors.Count(), 1);
    EXPECT_EQ(refused.errors.Kept()[0].line, 2002);
    EXPECT_THROW(ci::Append(dir.Path(), refused), FileError);
    EXPECT_EQ(dir.Read(QStringLiteral("Archivio_Dati.pro")), before);

    const ci::Import import = ci::Read(bytes, false);
#ifndef _WIN32  // a full disk is POSIX's to stage
    {
        const WritesFail diskFull(before.size() + 3 * (1 << 20));  // room for a few pieces only
        EXPECT_THROW(ci::Append(dir.Path(), import), FileError);
    }
    EXPECT_EQ(dir.Read(QStringLiteral("Archivio_Dati.pro")), before);
#endif
    EXPECT_EQ(ci::Append(dir.Path(), import).first, 2);
    EXPECT_EQ(dir.Read(QStringLiteral("Archivio_Dati.pro")).size(), 2001 * 3765);
}

// A cell of more than 1 MiB is no address: the read stops at it with that one
// error, truncate or not, naming the line its row starts on and its column,
// and nothing is written. A cell of 1 MiB is a long field like any other.
TEST(ImportCsv, AHugeCellStopsTheRead) {
    constexpr qsizetype kMiB = 1 << 20;
    const QString tooLong = QStringLiteral("cella di oltre 1 MB: il file non sembra un elenco di indirizzi");
    struct Case {
        const char* what;
        QByteArray bytes;
        QString error;
    };
    const Case cases[] = {
        {"one byte too many", "Nome;Rigo 1\nRossi;Via 1\nBianchi;" + QByteArray(kMiB + 1, 'x') + ";\nVerdi;Via 2\n",
         "riga 3, colonna 2 (Rigo 1): " + tooLong},
        {"quoted, over many lines", "Nome;Rigo 1\n\"a\r\nb\";\"" + QByteArray("ab\r\n\r\n").repeated(kMiB / 2) + "\"\n",
         "riga 2, colonna 2 (Rigo 1): " + tooLong},
        {"in the header", QByteArray(3 * kMiB, 'x') + "\nRossi\n", "riga 1, colonna 1: " + tooLong},
        {"megabytes without a line end", "Nome\n\n" + QByteArray(5 * kMiB, 'x'), "riga 3, colonna 1 (Nome): " + tooLong},
    };
    for (const Case& c : cases)
        for (const bool truncate : {false, true})
            EXPECT_EQ(Described(ci::Read(c.bytes, truncate).errors), QStringList({c.error})) << c.what << ", truncate " << truncate;

    for (const QByteArray end : {"\n", ""}) {
        const ci::Import longest = ci::Read("Nome\n" + QByteArray(kMiB, 'x') + end, true);
        EXPECT_TRUE(longest.errors.empty()) << S(Described(longest.errors).join(u'\n'));
        EXPECT_EQ(longest.truncated, 1);
    }

    TempFolder dir;
    DataRecordFile(dir.Path()).Append(Stored(QStringLiteral("primo")));
    const QByteArray before = dir.Read(QStringLiteral("Archivio_Dati.pro"));
    dir.Write(QStringLiteral("grande.csv"), cases[0].bytes);
    const ci::Import refused = ci::ReadFile(dir.File(QStringLiteral("grande.csv")), true);
    EXPECT_EQ(Described(refused.errors), QStringList({cases[0].error}));
    EXPECT_THROW(ci::Append(dir.Path(), refused), FileError);
    EXPECT_EQ(dir.Read(QStringLiteral("Archivio_Dati.pro")), before);
}

#ifndef _WIN32  // LibreOffice Calc runs beside the Linux build
// The program's own export, converted to CSV by LibreOffice Calc, comes back
// into an empty archive as the same records, field for field.
TEST(ImportCsv, TheProgramsExportThroughCalcComesBackWhole) {
    const QString soffice = testing_support::CalcProgram();
    if (soffice.isEmpty()) GTEST_SKIP() << "soffice not found: install libreoffice-calc-nogui to run this test";

    const std::vector<QStringList> texts = {
        {"Mario Rossi", "Indirizzo", "Via Roma 1", "00100 Roma", "Italia", "", "", "", "cliente dal 2001"},
        {"Rossi <Figli> & C.", "Ditta", "Città di Castello", "a<b>c", "&amp;", "x > y", "Perché sì", "È così",
         "nota; con punto e virgola"},
        {"Li 中", "€ 12,50", "\"virgolette\" e 'apici'", "a;b,c", "ß æ ø", "Ünïcödé", "fine", "", "ultima"},
    };
    TempFolder source;
    std::vector<DataRecord> records;
    {
        DataRecordFile file(source.Path());
        for (const QStringList& fields : texts) {
            DataRecord record;
            for (int f = 0; f < fields.size(); ++f) record.SetText(DataRecord::Field(f), fields[f]);
            file.Append(record);
            records.push_back(record);
        }
    }
    const QString xls = source.File(spreadsheet_export::kFileName);
    spreadsheet_export::ExportArchive(ProgramFolder(source.Path()), xls);

    // Calc as an Italian user saves: semicolons, and as it does by default: UTF-8.
    const QString csv = testing_support::ConvertToCsv(soffice, xls, source.File(QStringLiteral("csv")), ';');
    ASSERT_FALSE(csv.isEmpty());

    const ci::Import import = ci::ReadFile(csv, false);
    EXPECT_EQ(import.separator, ';');
    EXPECT_TRUE(import.errors.empty()) << S(Described(import.errors).join(u'\n'));
    EXPECT_TRUE(import.warnings.empty()) << S(Described(import.warnings).join(u'\n'));
    TempFolder target;
    EXPECT_EQ(ci::Append(target.Path(), import).first, 1);

    DataRecordFile file(target.Path());
    ASSERT_EQ(file.RecordCount(), static_cast<long long>(records.size()));
    for (const DataRecord& expected : records) {
        DataRecord record;
        file.Read(record);
        for (int f = 0; f < ci::kFields; ++f)
            EXPECT_EQ(record.field[f].bytes, expected.field[f].bytes)
                << "record " << file.Position() << " field " << f << ": " << S(record.Text(DataRecord::Field(f)));
    }
}
#endif

}  // namespace
