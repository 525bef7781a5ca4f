#include "core/folder/TextRules.h"
#include "windows/app/Velmora.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "core/archive/DataRecord.h"
#include "windows/archive/ImportaIndirizzi.h"
#include "core/archive/PickerItem.h"
#include "windows/archive/TrovaIndirizzi.h"
#include "windows/sheets/Archivio_Etichette.h"
#include "core/sheets/LabelGrid.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QApplication>
#include <QKeyEvent>
#include <QItemSelectionModel>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

#include <array>
#include <functional>
#include <string>
#include <vector>

using testing_support::AppFixture;
using testing_support::MessageLog;
using testing_support::ModalScript;

namespace {

QString Spaces(int n) { return QString(n, QLatin1Char(' ')); }

std::string S(const QString& text) { return text.toStdString(); }

// A record whose lines, attachments and descriptions carry its tag.
DataRecord Record(const QString& nome, const QString& tipo = QStringLiteral("Tipo"),
                  const QString& note = QString(), const QString& tag = QStringLiteral("x")) {
    DataRecord record;
    record.SetText(DataRecord::Nome, nome);
    record.SetText(DataRecord::Tipo, tipo);
    record.SetText(DataRecord::Note, note);
    for (int line = 1; line <= 6; ++line)
        record.SetText(DataRecord::Rigo(line), QStringLiteral("%1 rigo %2").arg(tag).arg(line));
    for (int n = 1; n <= 3; ++n) {
        record.SetText(DataRecord::File(n), QStringLiteral("%1_file%2.pdf").arg(tag).arg(n));
        record.SetText(DataRecord::Desc(n), QStringLiteral("%1 documento %2").arg(tag).arg(n));
    }
    return record;
}

void WriteArchive(const QString& folder, const std::vector<DataRecord>& records) {
    DataRecordFile file(folder);
    for (const DataRecord& record : records) file.Append(record);
}

std::vector<PickerItem> Items(const QStringList& texts) {
    std::vector<PickerItem> items;
    for (const QString& text : texts) items.push_back({text, static_cast<long long>(items.size()) + 1});
    return items;
}

int CurrentRow(const RecordPicker& picker) {
    const QModelIndex index = picker.lstRecords->currentIndex();
    return index.isValid() ? index.row() : -1;
}

void DoubleClickRow(RecordPicker& picker, int row) {
    QListView* list = picker.lstRecords;
    // The items are wider than the list: click near their left end. A double
    // click reaches the list as a click, then the double click.
    const QPoint at(20, list->visualRect(list->model()->index(row, 0)).center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void Search(RecordPicker& picker, const QString& text) {
    picker.txtTrova->setText(text);
    picker.btnTrova->click();
}

// Opens the find picker from the data archive window and runs step on it.
void RunFind(AppFixture& fixture, const std::function<void(RecordPicker&)>& step) {
    ModalScript script;
    script.Then([&](QDialog& dialog) {
        auto* picker = dynamic_cast<TfrmTrovaIndirizzi*>(&dialog);
        ASSERT_NE(picker, nullptr);
        step(*picker);
    });
    fixture.app->frmArchivio_Indirizzi().cmdTrovaClick();
    EXPECT_TRUE(script.Done());
}

// The texts on the data archive window, in record field order, and its number.
using Texts = std::vector<std::string>;

Texts RecordTexts(const DataRecord& record, long long number) {
    Texts texts;
    for (int f = 0; f < DataRecord::kFieldCount; ++f) texts.push_back(S(record.Text(DataRecord::Field(f))));
    texts.push_back(number ? std::to_string(number) : std::string());
    return texts;
}

Texts ArchiveScreen(const TfrmArchivio_Indirizzi& window) {
    Texts texts = RecordTexts(window.RecordOnScreen(), 0);
    texts.back() = S(window.lblPosizione->text());
    return texts;
}

// ---- Item text ------------------------------------------------------------

struct ItemTextCase {
    const char* what;
    QString nome, tipo, note;
    QString expected;
};

TEST(PickerItemText, PadsAndCutsTheColumns) {
    const QString name40 = QStringLiteral("N").repeated(40);
    const QString type28 = QStringLiteral("T").repeated(28);
    const QString note250 = QStringLiteral("n").repeated(250);
    const ItemTextCase cases[] = {
        {"short name and type, empty note", QStringLiteral("Mario Rossi"), QStringLiteral("Postale"), QString(),
         QStringLiteral("Mario Rossi") + Spaces(29) + QStringLiteral("  Tipo: Postale") + Spaces(21) +
             QStringLiteral("  Note: ")},
        {"name of exactly 40", name40, QStringLiteral("A"), QStringLiteral("x"),
         name40 + QStringLiteral("  Tipo: A") + Spaces(27) + QStringLiteral("  Note: x")},
        {"name of 45 cut at 40", name40 + QStringLiteral("12345"), QStringLiteral("A"), QString(),
         name40 + QStringLiteral("  Tipo: A") + Spaces(27) + QStringLiteral("  Note: ")},
        {"type of exactly 28", QStringLiteral("B"), type28, QString(),
         QStringLiteral("B") + Spaces(39) + QStringLiteral("  Tipo: ") + type28 + QStringLiteral("  Note: ")},
        {"type of 30 cut at 28", QStringLiteral("B"), type28 + QStringLiteral("XY"), QString(),
         QStringLiteral("B") + Spaces(39) + QStringLiteral("  Tipo: ") + type28 + QStringLiteral("  Note: ")},
        {"note of 250 kept whole", QStringLiteral("B"), QStringLiteral("C"), note250,
         QStringLiteral("B") + Spaces(39) + QStringLiteral("  Tipo: C") + Spaces(27) + QStringLiteral("  Note: ") +
             note250},
        {"inner spaces and accents kept", QStringLiteral("Caffè  Sport"), QStringLiteral("Città"),
         QStringLiteral("a  b"),
         QStringLiteral("Caffè  Sport") + Spaces(28) + QStringLiteral("  Tipo: Città") + Spaces(23) +
             QStringLiteral("  Note: a  b")},
    };
    for (const ItemTextCase& c : cases) {
        const QString text = PickerItemText(c.nome, c.tipo, c.note);
        EXPECT_EQ(S(text), S(c.expected)) << c.what;
        EXPECT_EQ(S(text.mid(48, 28)), S(c.tipo.leftJustified(28, QLatin1Char(' '), true))) << c.what;
        EXPECT_EQ(S(text.mid(84)), S(c.note)) << c.what;
    }
    EXPECT_EQ(PickerItemText(QStringLiteral("Mario Rossi"), QStringLiteral("Postale"), QString()).size(), 84);
}

TEST(PickerItemText, OfARecordUsesTheDecodedTrimmedFields) {
    const DataRecord record = Record(QStringLiteral("  Rossi \t"), QStringLiteral(" Pacco "), QStringLiteral(" urgente "));
    EXPECT_EQ(S(PickerItemText(record)), S(PickerItemText(QStringLiteral("Rossi"), QStringLiteral("Pacco"),
                                                          QStringLiteral("urgente"))));
}

// The rows read from fields that another program wrote byte by byte: the
// letters of Windows-1252 (those of 0x80-0x9F too) read as themselves, bytes
// up to 32 around a field are trimmed and no others (not the no-break space),
// and a name of nothing else leaves its record out of the list.
TEST(PickerItemText, ReadFromTheStoredBytesOfEachField) {
    struct Case {
        const char* what;
        QByteArray nome, tipo, note;
        QString text;  // the item text; empty: no row
    };
    const auto bytes = [](const auto& literal) { return QByteArray(literal, sizeof literal - 1); };
    const Case cases[] = {
        {"letters of the code page", bytes("Caff\xE8 Sport"), bytes("Citt\xE0"), bytes("\x80 10 \x8A\x9F\x85"),
         PickerItemText(QStringLiteral("Caffè Sport"), QStringLiteral("Città"), QStringLiteral("€ 10 ŠŸ…"))},
        {"unassigned bytes read as the C1 controls", bytes("Ver\x81" "di"), bytes("\x9D"), bytes(""),
         PickerItemText(QString::fromUtf16(u"Ver\u0081di"), QString::fromUtf16(u"\u009D"), QString())},
        {"bytes up to 32 around the fields trimmed", bytes("\t Rossi\x01\x1F "), bytes(" \0Pacco\r\n"),
         bytes("\x7F a  b\x20"),
         PickerItemText(QStringLiteral("Rossi"), QStringLiteral("Pacco"), QString::fromUtf16(u"\u007F a  b"))},
        {"the no-break space kept", bytes("\xA0Neri\xA0"), bytes("\xA0"), bytes(""),
         PickerItemText(QString::fromUtf16(u"\u00A0Neri\u00A0"), QString::fromUtf16(u"\u00A0"), QString())},
        {"a name of spaces and controls is blank", bytes("\t \x01\0"), bytes("Pacco"), bytes("nota"), QString()},
    };
    AppFixture fixture;
    std::vector<DataRecord> records;
    for (const Case& c : cases) {
        DataRecord record;
        record.field[DataRecord::Nome] = ShortTextFromCodePage(c.nome);
        record.field[DataRecord::Tipo] = ShortTextFromCodePage(c.tipo);
        record.field[DataRecord::Note] = ShortTextFromCodePage(c.note);
        records.push_back(record);
    }
    WriteArchive(fixture.folder.Path(), records);
    DataRecordFile file(fixture.folder.Path());
    std::vector<PickerItem> items;
    ReadPickerItems(file, items);
    auto item = items.begin();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        if (c.text.isEmpty()) continue;
        EXPECT_EQ(S(PickerItemText(records[i])), S(c.text)) << c.what;
        ASSERT_NE(item, items.end()) << c.what;
        EXPECT_EQ(S(item->text), S(c.text)) << c.what;
        EXPECT_EQ(item->number, static_cast<long long>(i) + 1) << c.what;
        ++item;
    }
    EXPECT_EQ(item, items.end());
}

// ---- Order ----------------------------------------------------------------

TEST(PickerOrder, FoldsOnlyAToZAndComparesCodeValues) {
    struct Case {
        QString a, b;
        bool aBefore, bBefore;
    };
    const Case cases[] = {
        {QStringLiteral("abc"), QStringLiteral("ABD"), true, false},
        {QStringLiteral("abc"), QStringLiteral("ABC"), false, false},  // equal once folded
        {QStringLiteral("a"), QStringLiteral("Z"), true, false},
        {QStringLiteral("a"), QStringLiteral("_"), true, false},     // 'A' (65) before '_' (95)
        {QStringLiteral("z"), QStringLiteral("["), true, false},     // 'Z' (90) before '[' (91)
        {QStringLiteral("À"), QStringLiteral("à"), true, false},     // no folding beyond A-Z
        {QStringLiteral("Z"), QStringLiteral("À"), true, false},
        {QStringLiteral("ab"), QStringLiteral("abc"), true, false},  // a prefix comes first
        {QStringLiteral(" b"), QStringLiteral("a"), true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PickerItemBefore(c.a, c.b), c.aBefore) << S(c.a) << " / " << S(c.b);
        EXPECT_EQ(PickerItemBefore(c.b, c.a), c.bBefore) << S(c.b) << " / " << S(c.a);
    }
}

TEST(PickerOrder, SortKeepsFileOrderOfEqualTexts) {
    std::vector<PickerItem> items = {{QStringLiteral("rossi"), 1}, {QStringLiteral("Bianchi"), 2},
                                     {QStringLiteral("ROSSI"), 3}, {QStringLiteral("_x"), 4},
                                     {QStringLiteral("Èlite"), 5},  {QStringLiteral("elite"), 6}};
    SortPickerItems(items);
    std::vector<long long> order;
    for (const PickerItem& item : items) order.push_back(item.number);
    EXPECT_EQ(order, (std::vector<long long>{2, 6, 1, 3, 4, 5}));
}

// The sort takes the list's order whatever the texts' beginnings: texts
// alike for their first dozen or two dozen characters or more, texts shorter
// than that, texts with a nul character, characters above Latin-1; it agrees
// with the order of pairs.
TEST(PickerOrder, SortAgreesWithTheOrderOfPairs) {
    const QString texts[] = {
        QStringLiteral("Rossi Bianchi12"), QStringLiteral("rossi bianchi1"),  QStringLiteral("ROSSI BIANCHI2"),
        QStringLiteral("Rossi Bianchi"),   QStringLiteral("Rossi Bianch"),    QStringLiteral("Rossi Bianc"),
        QStringLiteral("Rossi"),           QStringLiteral("Rossi") + QChar(0), QStringLiteral("Rossi Bianchi12 a"),
        QStringLiteral("Rossi Bianchi12"), QStringLiteral("Rossi Bianchi1Z"), QString::fromUtf16(u"Rossi Bianchi\u20AC"),
        QString::fromUtf16(u"\u0100ssi"),           QStringLiteral("rossi bianchi12"), QStringLiteral(""),
        QStringLiteral("a"),               QStringLiteral("Rossi Bianchi_2"), QStringLiteral("ROSSI BIANCH1"),
        // Alike for their first two dozen characters or more.
        QStringLiteral("Associazione Culturale Amici B"), QStringLiteral("associazione culturale amici a"),
        QStringLiteral("Associazione Culturale Amici"),   QStringLiteral("ASSOCIAZIONE CULTURALE AMICI B"),
        QStringLiteral("Associazione Culturale A"),       QStringLiteral("Associazione Culturale Ab"),
        QStringLiteral("Associazione Culturale Amici_"),  QString::fromUtf16(u"Associazione Culturale Amici\u00C0"),
    };
    std::vector<PickerItem> items;
    for (const QString& text : texts) items.push_back({text, static_cast<long long>(items.size() + 1)});
    std::vector<PickerItem> expected = items;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const PickerItem& a, const PickerItem& b) { return PickerItemBefore(a.text, b.text); });
    SortPickerItems(items);
    ASSERT_EQ(items.size(), expected.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].number, expected[i].number) << i;
        EXPECT_EQ(S(items[i].text), S(expected[i].text)) << i;
    }
}

// ---- Search steps ---------------------------------------------------------

struct SearchCase {
    const char* what;
    int current;                          // before the first press
    std::vector<std::pair<QString, int>> presses;  // typed text, current row after
};

TEST(PickerSearch, StepsThroughTheList) {
    const std::vector<PickerItem> items = Items({
        PickerItemText(QStringLiteral("Bianchi Anna"), QStringLiteral("Postale"), QString()),
        PickerItemText(QStringLiteral("Rossi Mario"), QStringLiteral("Pacco"), QStringLiteral("Èlite")),
        PickerItemText(QStringLiteral("Rossini Luca"), QStringLiteral("Postale"), QString()),
        PickerItemText(QStringLiteral("Verdi Carla"), QStringLiteral("Busta"), QStringLiteral("rossi")),
    });
    const SearchCase cases[] = {
        {"a new search selects the first match", -1, {{QStringLiteral("rossi"), 1}}},
        {"a new search starts from the top, not from the current row", 3, {{QStringLiteral("rossi"), 1}}},
        {"repeated in another letter case moves on, then wraps round", -1,
         {{QStringLiteral("rossi"), 1}, {QStringLiteral("ROSSI"), 2}, {QStringLiteral("Rossi"), 3},
          {QStringLiteral("rossi"), 1}}},
        {"a changed text is a new search", -1,
         {{QStringLiteral("postale"), 0}, {QStringLiteral("postale"), 2}, {QStringLiteral("busta"), 3}}},
        {"the only match stays selected", -1,
         {{QStringLiteral("verdi"), 3}, {QStringLiteral("verdi"), 3}, {QStringLiteral("VERDI"), 3}}},
        {"no match leaves the current row", 2, {{QStringLiteral("neri"), 2}, {QStringLiteral("neri"), 2}}},
        {"no match and no current row: the first becomes current", -1, {{QStringLiteral("neri"), 0}}},
        {"tipo: matches every item", -1,
         {{QStringLiteral("TIPO:"), 0}, {QStringLiteral("tipo:"), 1}, {QStringLiteral("Tipo:"), 2},
          {QStringLiteral("tipo:"), 3}, {QStringLiteral("tipo:"), 0}}},
        {"two spaces match every item", 1, {{QStringLiteral("  "), 0}, {QStringLiteral("  "), 1}}},
        {"trailing spaces are part of the text", -1,
         {{QStringLiteral("rossi"), 1}, {QStringLiteral("rossi"), 2}, {QStringLiteral("rossi "), 1},
          {QStringLiteral("rossi "), 1}}},
        {"an accented capital does not find the small letter", -1,
         {{QStringLiteral("èlite"), 0}, {QStringLiteral("Èlite"), 1}}},
        {"the empty text matches nothing", 2, {{QString(), 2}, {QString(), 2}}},
        {"the padding is searched too", -1, {{QStringLiteral("luca  "), 2}}},
    };
    for (const SearchCase& c : cases) {
        QString last;
        int current = c.current;
        int press = 0;
        for (const auto& [typed, expected] : c.presses) {
            current = PickerSearchStep(items, current, typed, last);
            EXPECT_EQ(current, expected) << c.what << ", press " << ++press;
            EXPECT_EQ(S(last), S(LowerAscii(typed)));
        }
    }
}

TEST(PickerSearch, MatchingFoldsTheItemToo) {
    EXPECT_TRUE(PickerItemMatches(u"VIA ROMA", u"via r"));
    EXPECT_TRUE(PickerItemMatches(u"via roma", u"via roma"));
    EXPECT_FALSE(PickerItemMatches(u"via roma", u"via romaa"));
    EXPECT_FALSE(PickerItemMatches(u"ÀNCORA", u"àncora"));
    EXPECT_FALSE(PickerItemMatches(u"abc", u""));
}

// ---- The windows ----------------------------------------------------------

TEST(PickerWindow, LooksAsDesigned) {
    AppFixture fixture;
    TfrmTrovaIndirizzi find(*fixture.app, &fixture.app->frmArchivio_Indirizzi());
    TfrmImportaIndirizzi import(*fixture.app, &fixture.app->frmArchivio_Etichette());
    EXPECT_EQ(S(find.windowTitle()), " Trova schede in archivio");
    EXPECT_EQ(S(import.windowTitle()), " Importa etichetta da archivio dati");
    EXPECT_EQ(S(find.SummaryTitle()), "Riepilogo etichette in archivio");
    EXPECT_EQ(S(import.SummaryTitle()), "Riepilogo dati in archivio");
    EXPECT_EQ(find.lblMemory, nullptr);
    ASSERT_NE(import.lblMemory, nullptr);
    EXPECT_EQ(S(import.lblMemory->text()), "lblMemory");
    EXPECT_TRUE(import.lblMemory->isHidden());
    for (RecordPicker* picker : {static_cast<RecordPicker*>(&find), static_cast<RecordPicker*>(&import)}) {
        EXPECT_EQ(picker->Fit().Designed(), QSize(862, 560));
        EXPECT_EQ(picker->lstRecords->width(), 801);
        EXPECT_EQ(picker->lstRecords->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        EXPECT_EQ(S(picker->btnStampa->text()), "Stampa");
        // Tab order.
        std::vector<QWidget*> order;
        QWidget* w = picker->txtTrova;
        do {
            if (w->focusPolicy() & Qt::TabFocus) order.push_back(w);
            w = w->nextInFocusChain();
        } while (w != picker->txtTrova);
        EXPECT_EQ(order, (std::vector<QWidget*>{picker->txtTrova, picker->lstRecords, picker->btnStampa,
                                                picker->btnTrova, picker->btnChiudi}));
    }
}

TEST(PickerWindow, ListsNamedRecordsSortedWithFixedPitchItems) {
    AppFixture fixture;
    WriteArchive(fixture.folder.Path(), {Record(QStringLiteral("verdi")), Record(QStringLiteral("   ")),
                                         Record(QStringLiteral("Bianchi")), Record(QStringLiteral("ROSSI"))});
    RunFind(fixture, [](RecordPicker& picker) {
        const QStringList texts = picker.ItemTexts();
        ASSERT_EQ(texts.size(), 3);
        EXPECT_TRUE(texts[0].startsWith(QStringLiteral("Bianchi ")));
        EXPECT_TRUE(texts[1].startsWith(QStringLiteral("ROSSI ")));
        EXPECT_TRUE(texts[2].startsWith(QStringLiteral("verdi ")));
        const QModelIndex first = picker.lstRecords->model()->index(0, 0);
        const QFont font = first.data(Qt::FontRole).value<QFont>();
        EXPECT_EQ(S(font.family()), "Courier New");
        EXPECT_EQ(font.pointSize(), 12);
        EXPECT_TRUE(QFontInfo(font).fixedPitch());
        EXPECT_EQ(first.data(Qt::SizeHintRole).toSize().width(), 1600);
        QCoreApplication::processEvents();
        EXPECT_GT(picker.lstRecords->horizontalScrollBar()->maximum(), 0);
    });
}

struct FindPickCase {
    const char* search;
    long long number;
};

TEST(PickerWindow, FindPickLoadsTheRecordAndItsNumber) {
    const QString longName = QStringLiteral("Associazione Culturale Amici della Musica 2024");  // 46
    const std::vector<DataRecord> records = {Record(QStringLiteral("Bianchi"), QStringLiteral("Postale"), {}, "b"),
                                             Record(QStringLiteral(" "), QStringLiteral("Vuoto"), {}, "blank"),
                                             Record(longName, QStringLiteral("Pacco"), QStringLiteral("n"), "long"),
                                             Record(QStringLiteral("Verdi"), QStringLiteral("Busta"), {}, "v")};
    const FindPickCase cases[] = {{"bianchi", 1}, {"amici della", 3}, {"verdi", 4}};
    for (const FindPickCase& c : cases) {
        AppFixture fixture;
        WriteArchive(fixture.folder.Path(), records);
        RunFind(fixture, [&](RecordPicker& picker) {
            Search(picker, QString::fromUtf8(c.search));
            DoubleClickRow(picker, CurrentRow(picker));
            EXPECT_FALSE(picker.isVisible()) << "a pick closes the window";
        });
        const TfrmArchivio_Indirizzi& archive = fixture.app->frmArchivio_Indirizzi();
        EXPECT_EQ(ArchiveScreen(archive), RecordTexts(records[c.number - 1], c.number)) << c.search;
    }
}

TEST(PickerWindow, DuplicateItemTextsEachLoadTheirOwnRecord) {
    const std::vector<DataRecord> records = {
        Record(QStringLiteral("Rossi"), QStringLiteral("Busta"), QStringLiteral("n"), "primo"),
        Record(QStringLiteral("Neri")),
        Record(QStringLiteral("Rossi"), QStringLiteral("Busta"), QStringLiteral("n"), "secondo")};
    for (const auto& [row, number] : {std::pair{1, 1LL}, std::pair{2, 3LL}}) {
        AppFixture fixture;
        WriteArchive(fixture.folder.Path(), records);
        RunFind(fixture, [&](RecordPicker& picker) {
            ASSERT_EQ(picker.ItemTexts()[1], picker.ItemTexts()[2]);
            DoubleClickRow(picker, row);
        });
        EXPECT_EQ(ArchiveScreen(fixture.app->frmArchivio_Indirizzi()), RecordTexts(records[number - 1], number));
    }
}

TEST(PickerWindow, PickAfterTheFileChangedNeverLoadsAnotherText) {
    const DataRecord rossi1 = Record(QStringLiteral("Rossi"), QStringLiteral("Busta"), {}, "primo");
    const DataRecord rossi2 = Record(QStringLiteral("Rossi"), QStringLiteral("Busta"), {}, "secondo");
    struct Case {
        const char* what;
        std::vector<DataRecord> after;  // the file once the list is filled
        Texts expected;                 // the archive window after the pick
    };
    const Case cases[] = {
        {"the row's record renamed: the other record with the same text",
         {Record(QStringLiteral("Gialli")), rossi2}, RecordTexts(rossi2, 2)},
        {"no record gives the text any more: nothing is loaded",
         {Record(QStringLiteral("Gialli")), Record(QStringLiteral("Rosa"))}, {}},
        {"the file got shorter: the record found by its text",
         {rossi1}, RecordTexts(rossi1, 1)},
    };
    for (const Case& c : cases) {
        AppFixture fixture;
        WriteArchive(fixture.folder.Path(), {rossi1, rossi2});
        TfrmArchivio_Indirizzi& archive = fixture.app->frmArchivio_Indirizzi();
        const Texts before = ArchiveScreen(archive);
        RunFind(fixture, [&](RecordPicker& picker) {
            QFile::remove(fixture.folder.File(QStringLiteral("Archivio_Dati.pro")));
            WriteArchive(fixture.folder.Path(), c.after);
            DoubleClickRow(picker, 0);
        });
        EXPECT_EQ(ArchiveScreen(archive), c.expected.empty() ? before : c.expected) << c.what;
    }
}

TEST(PickerWindow, EmptyListReportsOnSearchAndClosesOnDoubleClick) {
    AppFixture fixture;
    MessageLog log;
    TfrmArchivio_Indirizzi& archive = fixture.app->frmArchivio_Indirizzi();
    archive.txtNome->setText(QStringLiteral("in lavorazione"));
    const Texts before = ArchiveScreen(archive);
    RunFind(fixture, [&](RecordPicker& picker) {
        Search(picker, QStringLiteral("rossi"));
        EXPECT_EQ(S(log.Only()), "Ricerca non applicabile: la lista non contiene nessuna voce.");
        ASSERT_FALSE(log.messages.empty());
        EXPECT_EQ(log.messages.back().kind, ui::Kind::Plain);
        EXPECT_EQ(log.messages.back().buttons, ui::Buttons::Ok);
        QTest::mouseDClick(picker.lstRecords->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
        EXPECT_FALSE(picker.isVisible());
    });
    EXPECT_EQ(ArchiveScreen(archive), before);
    // The missing archive was created empty.
    const QFileInfo file(fixture.folder.File(QStringLiteral("Archivio_Dati.pro")));
    EXPECT_TRUE(file.exists());
    EXPECT_EQ(file.size(), 0);
}

// The list shows its first record as current from the start; Enter in the
// box moves to Trova, Enter there searches and puts the focus on the record
// found (where a screen reader reads it), and Enter there picks it.
TEST(PickerWindow, EnterInTheSearchBoxMovesToTrovaWhichEnterPresses) {
    AppFixture fixture;
    WriteArchive(fixture.folder.Path(), {Record(QStringLiteral("Bianchi")), Record(QStringLiteral("Rossi"))});
    RunFind(fixture, [](RecordPicker& picker) {
        EXPECT_EQ(picker.focusWidget(), picker.txtTrova);
        EXPECT_EQ(CurrentRow(picker), 0);
        EXPECT_TRUE(picker.lstRecords->selectionModel()->isRowSelected(0, QModelIndex())) << "shown as current";
        QTest::keyClicks(picker.txtTrova, QStringLiteral("rossi"));
        QTest::keyClick(picker.txtTrova, Qt::Key_Return);
        EXPECT_EQ(picker.focusWidget(), picker.btnTrova);
        EXPECT_EQ(S(picker.txtTrova->text()), "rossi");
        EXPECT_EQ(CurrentRow(picker), 0) << "Enter in the box does not search";
        QTest::keyClick(picker.btnTrova, Qt::Key_Return);
        EXPECT_EQ(CurrentRow(picker), 1);
        EXPECT_EQ(picker.focusWidget(), picker.lstRecords);
        EXPECT_TRUE(picker.isVisible());
        QTest::keyClick(picker.lstRecords, Qt::Key_Return);
        EXPECT_FALSE(picker.isVisible()) << "Enter on the record found picks it";
    });
    EXPECT_EQ(S(fixture.app->frmArchivio_Indirizzi().txtNome->text()), "Rossi");
}

TEST(PickerWindow, EachOpeningStartsAFreshSearch) {
    AppFixture fixture;
    WriteArchive(fixture.folder.Path(), {Record(QStringLiteral("Rossi A")), Record(QStringLiteral("Rossi B"))});
    for (int opening = 1; opening <= 2; ++opening) {
        RunFind(fixture, [&](RecordPicker& picker) {
            EXPECT_TRUE(picker.txtTrova->text().isEmpty());
            Search(picker, QStringLiteral("rossi"));
            EXPECT_EQ(CurrentRow(picker), 0) << "opening " << opening;
            picker.btnChiudi->click();
            EXPECT_TRUE(picker.ItemTexts().isEmpty()) << "closing empties the list";
        });
    }
}

struct ImportCase {
    const char* key;
    int slot;  // 0: no slot is written
};

TEST(PickerWindow, ImportPickFillsOnlyTheChosenSlot) {
    const ImportCase cases[] = {
        {"etichetta_E01", 1}, {"etichetta_E07", 7}, {"etichetta_E24", 24}, {" etichetta_E12 ", 12},
        {"lblMemory", 0}, {"etichetta_E25", 0}};
    const DataRecord chosen = Record(QStringLiteral("Verdi Carla"), QStringLiteral("Pacco"), QStringLiteral("nota"), "v");
    for (const ImportCase& c : cases) {
        AppFixture fixture;
        WriteArchive(fixture.folder.Path(), {Record(QStringLiteral("Bianchi")), chosen});
        TfrmArchivio_Etichette& sheet = fixture.app->frmArchivio_Etichette();
        auto sheetTexts = [&] {
            QStringList texts;
            for (int slot = 1; slot <= label_grid::kSlots; ++slot) {
                texts << sheet.txtNome(slot)->text();
                for (int line = 1; line <= label_grid::kLines; ++line)
                    texts << sheet.txtRigo(line, slot)->text();
            }
            return texts;
        };
        for (int slot = 1; slot <= label_grid::kSlots; ++slot) {
            sheet.txtNome(slot)->setText(QStringLiteral("nome %1").arg(slot));
            for (int line = 1; line <= label_grid::kLines; ++line)
                sheet.txtRigo(line, slot)->setText(QStringLiteral("rigo %1 %2").arg(line).arg(slot));
        }
        QStringList expected = sheetTexts();
        if (c.slot) {
            const int at = (c.slot - 1) * (1 + label_grid::kLines);
            expected[at] = QStringLiteral("Verdi Carla");
            for (int line = 1; line <= label_grid::kLines; ++line) expected[at + line] = chosen.Text(DataRecord::Rigo(line));
        }

        TfrmImportaIndirizzi picker(*fixture.app, &sheet);
        picker.lblMemory->setText(QString::fromUtf8(c.key));
        ModalScript script;
        script.Then([&](QDialog&) {
            Search(picker, QStringLiteral("verdi"));
            DoubleClickRow(picker, CurrentRow(picker));
        });
        ui::RunModal(picker);
        EXPECT_TRUE(script.Done());
        EXPECT_EQ(sheetTexts(), expected) << c.key;
    }
}

}  // namespace

namespace {

// The search box takes words as the archive spells them: "Łukasz" typed finds
// the record that the archive holds as "Lukasz".
TEST(PickerWindow, WordsAreSoughtAsTheArchiveSpellsThem) {
    AppFixture fixture;
    WriteArchive(fixture.folder.Path(), {Record(QStringLiteral("Bianchi")), Record(QStringLiteral("Łukasz Wójcik"))});
    RunFind(fixture, [](RecordPicker& picker) {
        picker.txtTrova->setFocus();
        QKeyEvent letter(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("Ł"));
        QApplication::sendEvent(picker.txtTrova, &letter);
        QTest::keyClicks(picker.txtTrova, QStringLiteral("ukasz"));
        EXPECT_EQ(S(picker.txtTrova->text()), "Lukasz");
        QTest::mouseClick(picker.btnTrova, Qt::LeftButton);
        EXPECT_EQ(CurrentRow(picker), 1);
    });
}

}  // namespace
