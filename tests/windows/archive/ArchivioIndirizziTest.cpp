#include "windows/archive/Archivio_Indirizzi.h"

#include "windows/archive/AllegaCartella.h"

#include "windows/app/Velmora.h"
#include "ui/FocusColour.h"
#include "ui/PictureButton.h"
#include "windows/shell/Avvio.h"
#include "windows/shell/Guida.h"
#include "support/SpecialFiles.h"
#include "support/TestSupport.h"
#include "support/WindowsBestFit.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>

using namespace testing_support;

namespace {

const QString kAccess = QStringLiteral(
    "Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
    "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma.");
const QString kEmpty = QStringLiteral("L'archivio non contiene nessuna scheda.");
const QString kAppended = QStringLiteral("La scheda corrente è stata inserita in archivio.");
const QString kUpdated = QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");

DataRecord Record(const QString& name, const QString& file = QString()) {
    DataRecord r;
    r.SetText(DataRecord::Nome, name);
    r.SetText(DataRecord::Tipo, QStringLiteral("tipo ") + name);
    r.SetText(DataRecord::Rigo01, QStringLiteral("rigo ") + name);
    r.SetText(DataRecord::Note, QStringLiteral("nota ") + name);
    r.SetText(DataRecord::File01, file);
    return r;
}

QByteArray Bytes(const DataRecord& record) {
    return QByteArray(reinterpret_cast<const char*>(&record), sizeof record);
}

class ArchivioIndirizzi : public ::testing::Test {
protected:
    void SetUp() override {
        w = &fixture.app->frmArchivio_Indirizzi();
        w->Present();
    }
    void Store(std::initializer_list<DataRecord> records) {
        DataRecordFile file(fixture.folder.Path());
        for (const DataRecord& r : records) file.Append(r);
    }
    QByteArray Archive() const { return fixture.folder.Read(QStringLiteral("Archivio_Dati.pro")); }
    void Type(const QString& name, const QString& tipo, const QString& rigo) {
        w->txtNome->setText(name);
        w->txtTipo->setText(tipo);
        w->txtRigo01->setText(rigo);
    }

    AppFixture fixture;
    MessageLog log;
    TfrmArchivio_Indirizzi* w = nullptr;
};

TEST_F(ArchivioIndirizzi, FirstOnAMissingArchiveCreatesItEmpty) {
    w->cmdPrimoClick();
    EXPECT_EQ(log.Only(), kEmpty);
    EXPECT_EQ(log.messages.back().kind, ui::Kind::Information);
    EXPECT_TRUE(QFile::exists(fixture.folder.File(QStringLiteral("Archivio_Dati.pro"))));
    EXPECT_EQ(Archive().size(), 0);
    EXPECT_TRUE(w->lblPosizione->text().isEmpty());
}

TEST_F(ArchivioIndirizzi, SaveAppendsThenUpdatesInPlace) {
    Type(QStringLiteral("  Mario Rossi "), QStringLiteral("Indirizzo"), QStringLiteral("Via Roma 1"));
    w->txtNote->setText(QStringLiteral("cliente"));
    w->cmdSalvaClick();
    EXPECT_EQ(log.Only(), kAppended);
    EXPECT_EQ(w->lblPosizione->text(), QStringLiteral("1"));
    DataRecord expected;
    expected.SetText(DataRecord::Nome, QStringLiteral("Mario Rossi"));
    expected.SetText(DataRecord::Tipo, QStringLiteral("Indirizzo"));
    expected.SetText(DataRecord::Rigo01, QStringLiteral("Via Roma 1"));
    expected.SetText(DataRecord::Note, QStringLiteral("cliente"));
    EXPECT_EQ(Archive(), Bytes(expected));
    // The screen keeps the text as typed.
    EXPECT_EQ(w->txtNome->text(), QStringLiteral("  Mario Rossi "));

    log.Clear();
    w->txtRigo02->setText(QStringLiteral("00100 Roma"));
    w->cmdSalvaClick();
    EXPECT_EQ(log.Only(), kUpdated);
    EXPECT_EQ(w->lblPosizione->text(), QStringLiteral("1"));
    expected.SetText(DataRecord::Rigo02, QStringLiteral("00100 Roma"));
    EXPECT_EQ(Archive(), Bytes(expected));
}

// Types `text` into the box key by key, as a keyboard with those letters
// would: a character beyond the 16-bit range is one key.
void TypeInto(QLineEdit* box, const QString& text) {
    box->setFocus();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype units = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text.mid(i, units));
        QApplication::sendEvent(box, &press);
        i += units;
    }
}

QString Told(const QString& changes) {
    return QStringLiteral("Lettere che l'archivio non può contenere, scritte così: ") + changes;
}

// Typed or pasted, a letter the archive's code page lacks becomes at once in
// the box what the file will hold (Windows' best fit, else "?"), and the user
// is told which letters changed and to what.
TEST_F(ArchivioIndirizzi, BoxesShowWhatTheArchiveHoldsAndSayWhatChanged) {
    const QString typed = QStringLiteral("Łódź Ω Ж");
    const QString kept = QStringLiteral("Lódz O ?");
    // Each key is ruled on as it comes: the last letter changed is named.
    TypeInto(w->txtNome, typed);
    EXPECT_EQ(w->txtNome->text(), kept);
    EXPECT_EQ(w->panInfo->text(), Told(QStringLiteral("Ж → ?")));
    w->panInfo->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("Via Łąka 5"));
    w->txtRigo01->setFocus();
    w->txtRigo01->paste();
    EXPECT_EQ(w->txtRigo01->text(), QStringLiteral("Via Laka 5"));
    EXPECT_EQ(w->panInfo->text(), Told(QStringLiteral("Ł → L, ą → a")));
    // The note was changed silently before.
    QGuiApplication::clipboard()->setText(QStringLiteral("ż ś ć ń ę ą e\u0301"));
    w->txtNote->setFocus();
    w->txtNote->paste();
    EXPECT_EQ(w->txtNote->text(), QStringLiteral("z s c n e a é"));
    EXPECT_EQ(w->panInfo->text(), Told(QStringLiteral("ż → z, ś → s, ć → c, ń → n, ę → e, ą → a")));
    w->txtTipo->setText(QStringLiteral("Indirizzo"));

    ModalScript script;
    script.Then([&](QDialog& dialog) {
        auto& allega = dynamic_cast<TfrmAllegaCartella&>(dialog);
        // The window has no status line: the sentence shows under the box.
        QGuiApplication::clipboard()->setText(typed);
        allega.attachments[0].txtDesc->setFocus();
        allega.attachments[0].txtDesc->paste();
        EXPECT_EQ(allega.attachments[0].txtDesc->text(), kept);
        EXPECT_EQ(QToolTip::text(), Told(QStringLiteral("Ł → L, ź → z, Ω → O, Ж → ?")));
        QTest::mouseClick(allega.btnApplica, Qt::LeftButton);
    });
    w->cmdFileClick();
    w->cmdSalvaClick();
    EXPECT_EQ(log.Only(), kAppended);

    DataRecord expected;
    expected.SetText(DataRecord::Nome, kept);
    expected.SetText(DataRecord::Tipo, QStringLiteral("Indirizzo"));
    expected.SetText(DataRecord::Rigo01, QStringLiteral("Via Laka 5"));
    expected.SetText(DataRecord::Note, QStringLiteral("z s c n e a é"));
    expected.SetText(DataRecord::Desc01, kept);
    EXPECT_EQ(Archive(), Bytes(expected));
    EXPECT_TRUE(Archive().contains("L\xf3" "dz O ?"));
    EXPECT_EQ(w->txtNome->text(), expected.Text(DataRecord::Nome));
    EXPECT_EQ(w->txtRigo01->text(), expected.Text(DataRecord::Rigo01));
}

// The table of letters typed into a box and pasted into the note: each record
// holds what Windows makes of the text, as Wine computes it, and the user is
// told of every letter changed.
TEST_F(ArchivioIndirizzi, TheLetterTableIsStoredAsWindowsConvertsIt) {
    const QStringList& table = LetterTable();
    QString skipped;
    const std::vector<QByteArray> windows = WindowsBestFit(table, skipped);
    if (!skipped.isEmpty()) GTEST_SKIP() << skipped.toStdString();
    ASSERT_EQ(windows.size(), static_cast<std::size_t>(table.size()));
    for (qsizetype i = 0; i < table.size(); ++i) {
        const QString& text = table[i];
        SCOPED_TRACE(text.toStdString());
        w->cmdNuovoClick();
        w->panInfo->clear();
        TypeInto(w->txtNome, text);
        w->txtTipo->setText(QStringLiteral("t"));
        w->txtRigo01->setText(QStringLiteral("r"));
        QGuiApplication::clipboard()->setText(text);
        w->txtNote->setFocus();
        w->txtNote->paste();
        const QByteArray& bytes = windows[std::size_t(i)];
        const bool changed = FromCodePage(bytes.constData(), bytes.size()) != text.normalized(QString::NormalizationForm_C);
        EXPECT_EQ(w->panInfo->text(), changed ? Told(ChangedLetters(text)) : QString());
        log.Clear();
        w->cmdSalvaClick();
        EXPECT_EQ(log.Only(), kAppended);
    }
    DataRecordFile file(fixture.folder.Path());
    ASSERT_EQ(file.RecordCount(), table.size());
    for (qsizetype i = 0; i < table.size(); ++i) {
        DataRecord record;
        file.Read(record);
        for (const DataRecord::Field field : {DataRecord::Nome, DataRecord::Note}) {
            const ShortText250& stored = record.field[field];
            EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(stored.bytes.data() + 1), stored.bytes[0]),
                      windows[std::size_t(i)])
                << table[i].toStdString();
        }
    }
}

TEST_F(ArchivioIndirizzi, SaveRefusesMissingRequiredFieldsInOrder) {
    struct Case {
        QString name, tipo, rigo;
        QString warning;
        QLineEdit* TfrmArchivio_Indirizzi::*focus;
    };
    const Case cases[] = {
        {QStringLiteral("   "), QString(), QString(),
         QStringLiteral("Attenzione: per salvare la scheda è necessario indicare il nome dell'etichetta."),
         &TfrmArchivio_Indirizzi::txtNome},
        {QStringLiteral("n"), QStringLiteral(" \t"), QString(),
         QStringLiteral("Attenzione: per salvare la scheda è necessario indicare il tipo di etichetta."),
         &TfrmArchivio_Indirizzi::txtTipo},
        {QStringLiteral("n"), QStringLiteral("t"), QStringLiteral("  "),
         QStringLiteral("Attenzione: per salvare la scheda è necessario compilare il primo rigo dell'etichetta."),
         &TfrmArchivio_Indirizzi::txtRigo01},
    };
    QApplication::setActiveWindow(w);
    for (const Case& c : cases) {
        log.Clear();
        Type(c.name, c.tipo, c.rigo);
        w->txtNote->setFocus();
        w->cmdSalvaClick();
        EXPECT_EQ(log.Only(), c.warning);
        EXPECT_EQ(log.messages.back().kind, ui::Kind::Warning);
        EXPECT_EQ(QApplication::focusWidget(), w->*c.focus);
    }
    EXPECT_FALSE(QFile::exists(fixture.folder.File(QStringLiteral("Archivio_Dati.pro"))));
}

TEST_F(ArchivioIndirizzi, PagingFollowsTheRecordNumber) {
    Store({Record(QStringLiteral("uno")), Record(QStringLiteral("due")), Record(QStringLiteral("tre"))});
    struct Step {
        void (TfrmArchivio_Indirizzi::*command)();
        const char* number;
        const char* name;
    };
    using W = TfrmArchivio_Indirizzi;
    const Step steps[] = {
        {&W::cmdAvantiClick, "1", "uno"},    // from a new record: record 1
        {&W::cmdIndietroClick, "1", "uno"},  // on record 1: nothing
        {&W::cmdUltimoClick, "3", "tre"},
        {&W::cmdAvantiClick, "3", "tre"},    // on the last: nothing
        {&W::cmdIndietroClick, "2", "due"},
        {&W::cmdPrimoClick, "1", "uno"},
        {&W::cmdAvantiClick, "2", "due"},
        {&W::cmdNuovoClick, "", ""},
        {&W::cmdIndietroClick, "1", "uno"},  // from a new record: record 1 as well
    };
    for (const Step& s : steps) {
        (w->*s.command)();
        EXPECT_EQ(w->lblPosizione->text(), QString::fromLatin1(s.number));
        EXPECT_EQ(w->txtNome->text(), QString::fromLatin1(s.name));
    }
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(ArchivioIndirizzi, PagingInAnEmptyArchiveSaysSo) {
    Store({});
    for (auto command : {&TfrmArchivio_Indirizzi::cmdPrimoClick, &TfrmArchivio_Indirizzi::cmdUltimoClick,
                         &TfrmArchivio_Indirizzi::cmdAvantiClick, &TfrmArchivio_Indirizzi::cmdIndietroClick}) {
        log.Clear();
        (w->*command)();
        EXPECT_EQ(log.Only(), kEmpty);
        EXPECT_TRUE(w->lblPosizione->text().isEmpty());
    }
}

TEST_F(ArchivioIndirizzi, DuplicateMakesANewRecordWithoutAttachments) {
    w->cmdDuplicaClick();
    EXPECT_EQ(log.Only(), QStringLiteral("Attenzione: la duplicazione di una scheda può avvenire soltanto dopo che "
                                         "questa è stata inserita in archivio."));

    Store({Record("a"), Record("b"), Record("c", "doc.pdf"), Record("d"), Record("e")});
    const QByteArray before = Archive();
    w->cmdUltimoClick();
    w->cmdIndietroClick();
    w->cmdIndietroClick();
    ASSERT_EQ(w->lblFile01->text(), QStringLiteral("doc.pdf"));
    log.Clear();
    w->cmdDuplicaClick();
    EXPECT_EQ(log.Only(), QStringLiteral("E' ora possibile apportare le proprie modifiche alla scheda corrente.\n\r\n\r"
                                         "Al termine premere Salva per inserire la scheda in archivio."));
    EXPECT_TRUE(w->lblPosizione->text().isEmpty());
    EXPECT_TRUE(w->lblFile01->text().isEmpty());
    EXPECT_EQ(w->txtNome->text(), QStringLiteral("c"));

    w->cmdSalvaClick();
    EXPECT_EQ(w->lblPosizione->text(), QStringLiteral("6"));
    const QByteArray after = Archive();
    EXPECT_EQ(after.left(before.size()), before);
    EXPECT_EQ(after.mid(5 * 3765), Bytes(Record("c")));
}

TEST_F(ArchivioIndirizzi, UnreachableArchiveGivesTheAccessMessage) {
    // An archive that cannot be opened: a folder, a FIFO (on which nothing may
    // wait), a link to a device or a socket stands in its place.
    const QString archive = fixture.folder.File(QStringLiteral("Archivio_Dati.pro"));
    for (const auto& special : testing_support::kSpecialFiles) {
        SCOPED_TRACE(special.name);
        ASSERT_TRUE(testing_support::PutSpecialFile(special, archive));
        using W = TfrmArchivio_Indirizzi;
        for (auto command : {&W::cmdPrimoClick, &W::cmdUltimoClick, &W::cmdAvantiClick, &W::cmdIndietroClick,
                             &W::cmdSalvaClick}) {
            log.Clear();
            Type(QStringLiteral("n"), QStringLiteral("t"), QStringLiteral("r"));
            w->lblPosizione->setText(QStringLiteral("4"));
            (w->*command)();
            EXPECT_EQ(log.Only(), kAccess);
            EXPECT_EQ(log.messages.back().kind, ui::Kind::Error);
            EXPECT_EQ(w->lblPosizione->text(), QStringLiteral("4"));
            EXPECT_EQ(w->txtNome->text(), QStringLiteral("n"));
        }
        // A failed duplicate has already emptied the number.
        log.Clear();
        w->cmdDuplicaClick();
        EXPECT_EQ(log.Only(), kAccess);
        EXPECT_TRUE(w->lblPosizione->text().isEmpty());
    }
}

TEST_F(ArchivioIndirizzi, SaveThatFailsAtCloseShowsNoRecordNumber) {
    // An archive that takes every write but cannot be synced: the null device.
    // The record is written, then closing the file fails, so it is not stored.
    const QString archive = fixture.folder.File(QStringLiteral("Archivio_Dati.pro"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), archive));
    Type(QStringLiteral("n"), QStringLiteral("t"), QStringLiteral("r"));
    w->cmdSalvaClick();
    EXPECT_EQ(log.Only(), kAccess);
    EXPECT_TRUE(w->lblPosizione->text().isEmpty());

    // So the next save, with the archive reachable again, appends the record.
    ASSERT_TRUE(QFile::remove(archive));
    log.Clear();
    w->cmdSalvaClick();
    EXPECT_EQ(log.Only(), kAppended);
    EXPECT_EQ(w->lblPosizione->text(), QStringLiteral("1"));
    EXPECT_EQ(Archive().size(), 3765);
}

TEST_F(ArchivioIndirizzi, LeavingAndComingBackShowsAnEmptyRecord) {
    Store({Record("uno")});
    w->cmdPrimoClick();
    w->close();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(fixture.app->frmAvvio().isVisible());
    fixture.app->HandOver(fixture.app->frmAvvio(), *w);
    EXPECT_TRUE(w->txtNome->text().isEmpty());
    EXPECT_TRUE(w->lblPosizione->text().isEmpty());
    EXPECT_TRUE(w->lblFile01->text().isEmpty());
}

TEST_F(ArchivioIndirizzi, EnterMovesAlongTheCycleAndTheFocusedBoxIsYellow) {
    QApplication::setActiveWindow(w);
    w->txtNome->setFocus();
    const QLineEdit* cycle[] = {w->txtTipo, w->txtRigo01, w->txtRigo02, w->txtRigo03, w->txtRigo04,
                                w->txtRigo05, w->txtRigo06, w->txtNote, w->txtNome};
    for (const QLineEdit* next : cycle) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        ASSERT_EQ(QApplication::focusWidget(), next);
        EXPECT_EQ(ui::FocusColour::FillOf(next), QColor(255, 255, 0));
    }
    EXPECT_EQ(ui::FocusColour::FillOf(w->txtTipo), QColor(0xF0, 0xF8, 0xFF));
    EXPECT_EQ(ui::FocusColour::FillOf(w->txtRigo03), QColor(255, 255, 255));
    QTest::keyClicks(w->txtNome, QStringLiteral("ab"));
    EXPECT_EQ(w->txtNome->text(), QStringLiteral("ab"));
}

// A move of the mouse with no button held, delivered as the window system does.
void MoveMouse(QWidget* widget, QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

TEST_F(ArchivioIndirizzi, StatusLineFollowsTheMouse) {
    MoveMouse(w->cmdSalva, QPoint(10, 10));
    EXPECT_EQ(w->panInfo->text(), QStringLiteral("Salva la scheda corrente."));
    // Over a text box the sentence stays; over the background it goes.
    MoveMouse(w->txtNote, QPoint(5, 5));
    EXPECT_EQ(w->panInfo->text(), QStringLiteral("Salva la scheda corrente."));
    QWidget* content = w->findChild<QWidget*>(QStringLiteral("panContenuto"));
    MoveMouse(content, QPoint(content->width() - 2, 140));
    EXPECT_TRUE(w->panInfo->text().isEmpty());
}

TEST_F(ArchivioIndirizzi, CommandsOpenTheirDialogs) {
    ModalScript script;
    for (int i = 0; i < 6; ++i) script.Then([](QDialog&) {});
    w->cmdTrovaClick();
    w->cmdFileClick();
    w->cmdStampaClick();
    w->cmdAnteprimaClick();
    w->cmdEsportaClick();
    w->cmdGuidaClick();
    const std::vector<QString> expected = {
        QStringLiteral(" Trova schede in archivio"), QStringLiteral(" Allega file"),
        QStringLiteral(" Stampa indirizzo su busta"), QStringLiteral(" Anteprima di stampa"),
        QStringLiteral(" Esportazione archivio dati in Excel"), QStringLiteral(" Guida all'utilizzo del software")};
    EXPECT_EQ(script.opened, expected);
}

TEST_F(ArchivioIndirizzi, HelpHasItsTitleAndElevenParagraphs) {
    ModalScript script;
    QString title, text;
    script.Then([&](QDialog& dialog) {
        auto& guida = static_cast<TfrmGuida&>(dialog);
        title = guida.lblTitolo->text();
        text = guida.txtGuida->toPlainText();
    });
    w->cmdGuidaClick();
    EXPECT_EQ(title, QStringLiteral("App Archivio Dati"));
    EXPECT_EQ(TfrmArchivio_Indirizzi::HelpParagraphs().size(), 11);
    EXPECT_EQ(HelpText(TfrmArchivio_Indirizzi::HelpParagraphs()).count(QStringLiteral("\r\n\r\n")), 10);
    EXPECT_EQ(text.count(QStringLiteral("\n\n")), 10);
    EXPECT_TRUE(text.contains(QStringLiteral("Il pulsante Importa"))) << text.toStdString();
}

// The file dialog's step: the user picks the file and presses Apri.
ModalScript::Step Pick(const QString& file) {
    return [file](QDialog& dialog) {
        dynamic_cast<QFileDialog&>(dialog).selectFile(file);
        dialog.accept();
    };
}

// A CSV file as an Italian spreadsheet saves it: semicolons, Windows-1252.
const QByteArray kCsv = "Nome etichetta;Tipo;Dati rigo 1;Telefono\r\n"
                        "Niccol\xf2 Rossi;Postale;Via Citt\xe0 1;555\r\n"
                        "Bianchi;Postale;Via 2;\r\n"
                        ";Postale;Via 3;\r\n";

TEST_F(ArchivioIndirizzi, ImportAsksThenAppendsAndShowsTheFirstNewRecord) {
    MoveMouse(w->cmdImporta, QPoint(10, 10));
    EXPECT_EQ(w->panInfo->text(), QStringLiteral("Importa in archivio le schede di un file CSV."));
    Store({Record(QStringLiteral("uno")), Record(QStringLiteral("due"))});
    const QByteArray before = Archive();
    TempFolder files;
    files.Write(QStringLiteral("indirizzi.csv"), kCsv);

    ModalScript script;
    script.Then(Pick(files.File(QStringLiteral("indirizzi.csv"))));
    w->cmdImportaClick();
    ASSERT_TRUE(script.Done());
    ASSERT_EQ(log.messages.size(), 2u) << log.Texts().join(u'|').toStdString();
    EXPECT_EQ(log.messages[0].kind, ui::Kind::Confirmation);
    EXPECT_EQ(log.messages[0].buttons, ui::Buttons::YesNo);
    EXPECT_EQ(log.messages[0].text,
              QStringLiteral("3 schede da importare, 1 avviso.\r\n\r\n"
                             "riga 4: scheda senza nome: non comparirà nella ricerca\r\n\r\n"
                             "Colonne ignorate: Telefono.\r\n\r\n"
                             "Si vogliono aggiungere le schede all'archivio?"));
    EXPECT_EQ(log.messages[1].text, QStringLiteral("Le schede dalla 3 alla 5 sono state inserite in archivio."));

    const QByteArray after = Archive();
    ASSERT_EQ(after.size(), 5 * 3765);
    EXPECT_EQ(after.left(before.size()), before);
    DataRecord third;
    std::memcpy(&third, after.constData() + 2 * 3765, sizeof third);
    EXPECT_EQ(third.Text(DataRecord::Nome), QStringLiteral("Niccolò Rossi"));
    EXPECT_EQ(third.Text(DataRecord::Rigo01), QStringLiteral("Via Città 1"));
    EXPECT_EQ(w->lblPosizione->text(), QStringLiteral("3"));
    EXPECT_EQ(w->txtNome->text(), QStringLiteral("Niccolò Rossi"));
    EXPECT_EQ(w->txtRigo01->text(), QStringLiteral("Via Città 1"));
}

// Each way an import stops short leaves the archive and the screen as they were.
TEST_F(ArchivioIndirizzi, AnImportThatStopsShortWritesNothing) {
    Store({Record(QStringLiteral("uno"))});
    const QByteArray before = Archive();
    TempFolder files;
    files.Write(QStringLiteral("buono.csv"), kCsv);
    files.Write(QStringLiteral("lungo.csv"), "Nome;Rigo 1\nuno;ok\ndue;" + QByteArray(251, 'x') + "\n");
    files.Write(QStringLiteral("vuoto.csv"), "Nome;Rigo 1\n;\n");
    files.Write(QStringLiteral("aperto.csv"), "Nome;Tipo;Rigo 1\nuno;t;\"Via 1\ndue;t;Via 2\n");
    files.Write(QStringLiteral("celle.csv"), "Nome;Tipo;Rigo 1\n" + QByteArray("uno;t;Via 1;x\n").repeated(300));
    QStringList extra;
    for (int line = 2; line <= 6; ++line)
        extra << QStringLiteral("riga %1, colonna 4: la riga ha più celle dell'intestazione (3)").arg(line);
    struct Case {
        const char* what;
        ModalScript::Step step;
        std::deque<ui::Answer> answers;
        QStringList messages;
    };
    const Case cases[] = {
        {"dialog cancelled", [](QDialog& d) { d.reject(); }, {}, {}},
        {"answer no", Pick(files.File(QStringLiteral("buono.csv"))), {ui::Answer::No}, {}},
        {"over-long field", Pick(files.File(QStringLiteral("lungo.csv"))), {},
         {QStringLiteral("Attenzione: il file non può essere importato e l'archivio non è stato modificato.\n\r\n\r"
                         "riga 3, colonna 2 (Rigo 1): testo di 251 caratteri, l'archivio ne contiene al massimo 250")}},
        {"quote left open", Pick(files.File(QStringLiteral("aperto.csv"))), {},
         {QStringLiteral("Attenzione: il file non può essere importato e l'archivio non è stato modificato.\n\r\n\r"
                         "riga 2, colonna 3 (Rigo 1): virgolette aperte e mai chiuse: il resto del file sarebbe una "
                         "cella sola")}},
        {"a cell too many on each of 300 rows", Pick(files.File(QStringLiteral("celle.csv"))), {},
         {QStringLiteral("Attenzione: il file non può essere importato e l'archivio non è stato modificato.\n\r\n\r") +
          extra.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n... e altri 295.")}},
        {"nothing to import", Pick(files.File(QStringLiteral("vuoto.csv"))), {},
         {QStringLiteral("Il file non contiene schede da importare.")}},
        {"file gone once picked",
         [&](QDialog& dialog) {
             Pick(files.File(QStringLiteral("vuoto.csv")))(dialog);
             QFile::remove(files.File(QStringLiteral("vuoto.csv")));
         },
         {},
         {QStringLiteral("Attenzione: il sistema non permette di leggere il file indicato.\n\r\n\r"
                         "Accertarsi che il file esista e di possedere i privilegi di lettura.")}},
    };
    for (const Case& c : cases) {
        log.Clear();
        log.answers = c.answers;
        ModalScript script;
        script.Then(c.step);
        w->cmdImportaClick();
        EXPECT_TRUE(script.Done()) << c.what;
        QStringList texts = log.Texts();
        if (!c.answers.empty()) texts.removeFirst();  // the question answered
        EXPECT_EQ(texts, c.messages) << c.what;
        EXPECT_EQ(Archive(), before) << c.what;
        EXPECT_TRUE(w->lblPosizione->text().isEmpty()) << c.what;
    }
}

}  // namespace

namespace {

// The columns of `image` that hold ink: pixels darker than the label's white.
std::pair<int, int> InkColumns(const QImage& image) {
    int first = image.width(), last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}

// Every record number is shown whole: its ink stays clear of the label's
// edges, however many digits it has, and a short one keeps its size.
TEST_F(ArchivioIndirizzi, TheRecordNumberIsShownWhole) {
    int shortWidth = 0;
    for (const char* number : {"7", "101000", "8888888", "123456789"}) {
        SCOPED_TRACE(number);
        w->lblPosizione->setText(QString::fromLatin1(number));
        const QImage image = w->lblPosizione->grab().toImage();
        const auto [first, last] = InkColumns(image);
        ASSERT_LE(first, last) << "no ink";
        EXPECT_GT(first, 0);
        EXPECT_LT(last, image.width() - 1);
        if (std::strlen(number) == 1) shortWidth = last - first;
        else EXPECT_GT(last - first, 2 * shortWidth);
    }
    EXPECT_EQ(w->lblPosizione->text(), QStringLiteral("123456789"));
}

}  // namespace
