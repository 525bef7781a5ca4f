#include "windows/archive/ExpIndirizzi.h"

#include "support/WriteFailure.h"
#include "windows/app/Velmora.h"
#include "ui/PictureButton.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "core/archive/ExportWriter.h"
#include "windows/shell/Guida.h"
#include "windows/shell/OpenURL.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSysInfo>
#include <QTableView>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <pwd.h>
#include <unistd.h>
#include <vector>

using namespace testing_support;
namespace se = spreadsheet_export;

namespace {

const QString kAsk = QStringLiteral(
    "L'esportazione dei dati in Excel può richiedere diversi minuti a seconda del numero di schede presenti in "
    "archivio.\r\n\r\nSi vuole esportare i dati adesso?");
const QString kDone =
    QStringLiteral("Le schede in archivio sono state esportate con successo.\r\n\r\nSi vuole aprire il file di Excel?");
const QString kFailed = QStringLiteral(
    "Attenzione: il sistema non permette di esportare i dati.\n\r\n\rAccertarsi che il file di Excel non sia già "
    "aperto.");
const QString kXls = QStringLiteral("Archivio_Dati.xls");
const QString kArchive = QStringLiteral("Archivio_Dati.pro");

DataRecord Record(const QString& name) {
    DataRecord r;
    r.SetText(DataRecord::Nome, name);
    r.SetText(DataRecord::Tipo, QStringLiteral("tipo ") + name);
    for (int line = 1; line <= 6; ++line) r.SetText(DataRecord::Rigo(line), QStringLiteral("rigo %1 ").arg(line) + name);
    r.SetText(DataRecord::Note, QStringLiteral("nota ") + name);
    r.SetText(DataRecord::File01, QStringLiteral("allegato.pdf"));
    return r;
}

void Store(const QString& folder, const std::vector<DataRecord>& records) {
    DataRecordFile file(folder);
    for (const DataRecord& r : records) file.Append(r);
    file.Close();
}

// The export of the archive of a folder as the batch tool writes it.
QByteArray ExportOf(const QString& folder) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    se::ExportArchive(ProgramFolder(folder), out);
    return out.data();
}

class ExpIndirizzi : public ::testing::Test {
protected:
    ExpIndirizzi() {
        previousOpener_ = TMisc::SetOpener([this](const QUrl& url) { opened.push_back(url); });
    }
    ~ExpIndirizzi() override { TMisc::SetOpener(previousOpener_); }

    // Opens the export window from the data archive window, as its command
    // does, and acts on it while it is shown.
    void Open(const std::function<void(TfrmExpIndirizzi&)>& act) {
        script.Then([&act](QDialog& dialog) { act(static_cast<TfrmExpIndirizzi&>(dialog)); });
        fixture.app->frmArchivio_Indirizzi().cmdEsportaClick();
        EXPECT_TRUE(script.Done());
    }
    QString Cell(TfrmExpIndirizzi& w, int row, int column) const {
        return w.grdRecords->model()->index(row, column).data().toString();
    }
    QStringList Entries() const {
        return QDir(fixture.folder.Path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    AppFixture fixture;
    MessageLog log;
    ModalScript script;
    std::vector<QUrl> opened;

private:
    TMisc::Opener previousOpener_;
};

TEST_F(ExpIndirizzi, ShowsTheArchiveInTheGrid) {
    Store(fixture.folder.Path(), {Record("uno"), Record("due"), Record("tre")});
    const QByteArray archive = fixture.folder.Read(kArchive);
    Open([&](TfrmExpIndirizzi& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral(" Esportazione archivio dati in Excel"));
        // Designed at 862 x 560; on a smaller screen it scrolls within the screen.
        EXPECT_EQ(w.Fit().Designed(), QSize(862, 560));
        EXPECT_EQ(w.size(), QSize(862, 560).boundedTo(w.size()));
        EXPECT_TRUE(w.screen()->availableGeometry().contains(w.frameGeometry()));
        EXPECT_EQ(w.panInfo->text(), QStringLiteral("Esportazione archivio in Microsoft Excel."));
        QAbstractItemModel* model = w.grdRecords->model();
        ASSERT_EQ(model->rowCount(), 3);
        ASSERT_EQ(model->columnCount(), 10);
        const char* headers[] = {"N.", "Nome etichetta", "Tipo", "Dati rigo 1", "Dati rigo 2", "Dati rigo 3",
                                 "Dati rigo 4", "Dati rigo 5", "Dati rigo 6", "Note"};
        const int widths[] = {60, 250, 200, 280, 280, 280, 280, 280, 280, 350};
        for (int c = 0; c < 10; ++c) {
            EXPECT_EQ(model->headerData(c, Qt::Horizontal).toString(), QString::fromUtf8(headers[c]));
            EXPECT_EQ(w.grdRecords->columnWidth(c), widths[c]) << c;
            const bool editable = c == TfrmExpIndirizzi::colRigo04 || c == TfrmExpIndirizzi::colRigo06 ||
                                  c == TfrmExpIndirizzi::colNote;
            EXPECT_EQ(model->flags(model->index(0, c)).testFlag(Qt::ItemIsEditable), editable) << c;
        }
        EXPECT_EQ(w.grdRecords->rowHeight(0), 21);
        EXPECT_EQ(w.grdRecords->rowHeight(2), 21);
        EXPECT_TRUE(w.grdRecords->alternatingRowColors());
        const char* names[] = {"uno", "due", "tre"};
        for (int r = 0; r < 3; ++r) {
            const DataRecord record = Record(QString::fromLatin1(names[r]));
            EXPECT_EQ(Cell(w, r, TfrmExpIndirizzi::colNum), QString::number(r + 1));
            for (int f = DataRecord::Nome; f <= DataRecord::Note; ++f)
                EXPECT_EQ(Cell(w, r, TfrmExpIndirizzi::colNome + f), record.Text(DataRecord::Field(f)));
        }
    });
    EXPECT_EQ(fixture.folder.Read(kArchive), archive);
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(ExpIndirizzi, AMissingArchiveIsCreatedEmptyAndGivesTenEmptyRows) {
    Open([&](TfrmExpIndirizzi& w) {
        ASSERT_EQ(w.grdRecords->model()->rowCount(), 10);
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 10; ++c) EXPECT_TRUE(Cell(w, r, c).isEmpty()) << r << "," << c;
        w.cmdEsportaClick();
    });
    EXPECT_TRUE(QFile::exists(fixture.folder.File(kArchive)));
    EXPECT_EQ(fixture.folder.Read(kArchive).size(), 0);
    EXPECT_EQ(fixture.folder.Read(kXls), ExportOf(fixture.folder.Path()));
}

// The two questions decide what is written and whether the file is opened.
TEST_F(ExpIndirizzi, TheQuestionsDecideWritingAndOpening) {
    Store(fixture.folder.Path(), {Record("uno"), Record("due")});
    const QByteArray expected = ExportOf(fixture.folder.Path());
    const QByteArray earlier = "earlier export";
    struct Case {
        std::vector<ui::Answer> answers;
        QStringList asked;
        bool written;
        bool opens;
    };
    const Case cases[] = {
        {{ui::Answer::No}, {kAsk}, false, false},
        {{ui::Answer::Yes, ui::Answer::No}, {kAsk, kDone}, true, false},
        {{ui::Answer::Yes, ui::Answer::Yes}, {kAsk, kDone}, true, true},
    };
    for (const Case& c : cases) {
        fixture.folder.Write(kXls, earlier);
        log.Clear();
        log.answers.assign(c.answers.begin(), c.answers.end());
        opened.clear();
        Open([](TfrmExpIndirizzi& w) { w.cmdEsporta->click(); });
        EXPECT_EQ(log.Texts(), c.asked);
        for (const ui::Message& m : log.messages) {
            EXPECT_EQ(m.kind, ui::Kind::Confirmation);
            EXPECT_EQ(m.buttons, ui::Buttons::YesNo);
        }
        EXPECT_EQ(fixture.folder.Read(kXls), c.written ? expected : earlier);
        EXPECT_EQ(opened, c.opens ? std::vector<QUrl>{QUrl::fromLocalFile(fixture.folder.File(kXls))}
                                  : std::vector<QUrl>{});
    }
}

TEST_F(ExpIndirizzi, TypedTextIsExportedButNeverStored) {
    Store(fixture.folder.Path(), {Record("uno"), Record("due")});
    const QByteArray archive = fixture.folder.Read(kArchive);
    Open([&](TfrmExpIndirizzi& w) {
        QApplication::setActiveWindow(&w);
        // A line typed and confirmed with Enter.
        const QModelIndex rigo04 = w.grdRecords->model()->index(0, TfrmExpIndirizzi::colRigo04);
        w.grdRecords->setCurrentIndex(rigo04);
        w.grdRecords->edit(rigo04);
        QWidget* editor = w.grdRecords->indexWidget(rigo04);
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, QStringLiteral("Scala B"));
        QTest::keyClick(editor, Qt::Key_Return);
        // A note still being typed when the export is pressed.
        const QModelIndex note = w.grdRecords->model()->index(1, TfrmExpIndirizzi::colNote);
        w.grdRecords->setCurrentIndex(note);
        w.grdRecords->edit(note);
        editor = w.grdRecords->indexWidget(note);
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, QStringLiteral("consegna & ritiro"));
        qobject_cast<QLineEdit*>(editor)->insert(QStringLiteral(" – città 中"));
        // A read-only column keeps its text.
        EXPECT_FALSE(w.grdRecords->model()->setData(w.grdRecords->model()->index(0, TfrmExpIndirizzi::colNome),
                                                    QStringLiteral("altro")));
        w.cmdEsportaClick();
        // The grid keeps the texts as typed, as the file holds them; the status
        // line says which letters changed.
        EXPECT_EQ(w.panInfo->text(),
                  QStringLiteral("Lettere che l'archivio non può contenere, scritte così: 中 → ?"));
        EXPECT_EQ(Cell(w, 1, TfrmExpIndirizzi::colNote), QStringLiteral("consegna & ritiro – città ?"));
        EXPECT_EQ(Cell(w, 0, TfrmExpIndirizzi::colRigo04), QStringLiteral("Scala B"));
    });
    EXPECT_EQ(fixture.folder.Read(kArchive), archive);

    // The file is the export of an archive that held the typed texts.
    DataRecord uno = Record("uno");
    uno.SetText(DataRecord::Rigo04, QStringLiteral("Scala B"));
    DataRecord due = Record("due");
    due.SetText(DataRecord::Note, QStringLiteral("consegna & ritiro – città 中"));
    TempFolder edited;
    Store(edited.Path(), {uno, due});
    const QByteArray file = fixture.folder.Read(kXls);
    EXPECT_EQ(file, ExportOf(edited.Path()));
    EXPECT_TRUE(file.contains("<td style=\"text-align: left; mso-number-format:\\@;\" sdnum=\"1040;0;@\">"
                              "consegna &amp; ritiro \x96 citt\xe0 ?</td>"));
}

// A refused or failed export says so and leaves the earlier file whole.
TEST_F(ExpIndirizzi, AFailedExportShowsTheMessageAndKeepsTheEarlierFile) {
    Store(fixture.folder.Path(), {Record("uno")});
    const QByteArray earlier = "earlier export";
    std::unique_ptr<WritesFail> writesFail;
    struct Case {
        const char* what;
        std::function<void()> arrange, undo;
    };
    const Case cases[] = {
        {"writes fail", [&] { writesFail = std::make_unique<WritesFail>(); }, [&] { writesFail.reset(); }},
    };
    for (const Case& c : cases) {
        fixture.folder.Write(kXls, earlier);
        log.Clear();
        Open([&](TfrmExpIndirizzi& w) {
            c.arrange();
            const QStringList before = Entries();
            w.cmdEsportaClick();
            EXPECT_EQ(Entries(), before) << c.what;
            c.undo();
            EXPECT_TRUE(w.isVisible()) << c.what;
        });
        EXPECT_EQ(log.Texts(), QStringList({kAsk, kFailed})) << c.what;
        EXPECT_EQ(log.messages.back().kind, ui::Kind::Plain);
        EXPECT_EQ(log.messages.back().buttons, ui::Buttons::Ok);
        EXPECT_EQ(fixture.folder.Read(kXls), earlier) << c.what;
        EXPECT_TRUE(opened.empty());
    }
}

// The spreadsheet program's lock file beside the export: one left behind on
// this computer is removed without a word, one from another computer only
// when the user says so, and one held here stops the export with its holder.
TEST_F(ExpIndirizzi, AnOfficeLockIsClearedWhenStaleOrConfirmedAndToldWhenHeld) {
    Store(fixture.folder.Path(), {Record("uno")});
    const QByteArray expected = ExportOf(fixture.folder.Path());
    const QByteArray earlier = "earlier export";
    const QString lock = QStringLiteral(".~lock.Archivio_Dati.xls#");
    const QString user = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);
    const QString host = QSysInfo::machineHostName();
    const QByteArray here = "," + user.toLocal8Bit() + "," + host.toLocal8Bit() + ",11.12.2026 05:48,file:///p;";
    const QByteArray elsewhere = "Mario Rossi,mario,ufficio-2,10.12.2026 17:02,file:///home/mario/lo;";
    const QString kConfirm = QStringLiteral(
        "Il file di Excel risulta aperto da Mario Rossi (utente mario) sul computer ufficio-2 dal 10.12.2026 17:02 "
        "(lo dice il file nascosto .~lock.Archivio_Dati.xls#, accanto al file).\r\n\r\nSe il file non è più aperto, "
        "quel file nascosto è rimasto da una chiusura improvvisa del foglio di calcolo e si può eliminare.\r\n\r\nSi vuole "
        "eliminarlo ed esportare i dati adesso?");
    const QString kHeld = QStringLiteral(
        "Attenzione: il sistema non permette di esportare i dati.\n\r\n\rIl file di Excel è aperto da %1 sul computer "
        "%2 dall'11.12.2026 05:48: chiuderlo e riprovare.").arg(user, host);
    struct Case {
        const char* what;
        QByteArray lock;
        bool held;  // a process of this user has the file open
        std::vector<ui::Answer> answers;
        QStringList told;
        bool written;
    };
    const Case cases[] = {
        {"this computer, left over", here, false, {ui::Answer::Yes, ui::Answer::No}, {kAsk, kDone}, true},
        {"this computer, held", here, true, {ui::Answer::Yes}, {kAsk, kHeld}, false},
        {"another computer, confirmed", elsewhere, false, {ui::Answer::Yes, ui::Answer::Yes, ui::Answer::No},
         {kAsk, kConfirm, kDone}, true},
        {"another computer, declined", elsewhere, false, {ui::Answer::Yes, ui::Answer::No}, {kAsk, kConfirm}, false},
    };
    for (const Case& c : cases) {
        fixture.folder.Write(kXls, earlier);
        fixture.folder.Write(lock, c.lock);
        QProcess holder;
        if (c.held) {
            holder.start(QStringLiteral("sh"), {"-c", "exec 3<\"$0\"; echo open; exec sleep 600",
                                                fixture.folder.File(kXls)});
            ASSERT_TRUE(holder.waitForReadyRead());
        }
        log.Clear();
        log.answers.assign(c.answers.begin(), c.answers.end());
        Open([](TfrmExpIndirizzi& w) { w.cmdEsporta->click(); });
        holder.kill();
        holder.waitForFinished();
        EXPECT_EQ(log.Texts(), c.told) << c.what;
        EXPECT_EQ(fixture.folder.Read(kXls), c.written ? expected : earlier) << c.what;
        EXPECT_EQ(QFile::exists(fixture.folder.File(lock)), !c.written) << c.what;
        EXPECT_TRUE(opened.empty()) << c.what;
    }
}

// A move of the mouse with no button held, delivered as the window system does.
void MoveMouse(QWidget* widget, QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

TEST_F(ExpIndirizzi, StatusLineFollowsTheMouse) {
    Open([](TfrmExpIndirizzi& w) {
        struct Over {
            QWidget* command;
            const char* sentence;
        };
        const Over commands[] = {
            {w.cmdEsporta, "Esporta l'archivio in formato Microsoft Excel."},
            {w.cmdGuida, "Visualizza la pagina della guida sensibile al contesto."},
            {w.cmdEsci, "Esci da questo ambiente di lavoro."},
        };
        QWidget* plain[] = {w.grdRecords->viewport(), w.findChild<QWidget*>(QStringLiteral("shpBanner")),
                            w.findChild<QWidget*>(QStringLiteral("shpInfo")), w.panInfo, &w};
        for (QWidget* background : plain) {
            ASSERT_NE(background, nullptr);
            for (const Over& o : commands) {
                MoveMouse(o.command, QPoint(10, 10));
                EXPECT_EQ(w.panInfo->text(), QString::fromUtf8(o.sentence));
            }
            // Over the banner picture the sentence stays; over the background it goes.
            MoveMouse(w.imgLogo, QPoint(5, 5));
            EXPECT_FALSE(w.panInfo->text().isEmpty());
            MoveMouse(background, QPoint(2, 2));
            EXPECT_TRUE(w.panInfo->text().isEmpty()) << background->objectName().toStdString();
        }
    });
}

TEST_F(ExpIndirizzi, HelpHasItsTitleAndThreeParagraphs) {
    QString title, text;
    Open([&](TfrmExpIndirizzi& w) {
        script.Then([&](QDialog& dialog) {
            auto& guida = static_cast<TfrmGuida&>(dialog);
            title = guida.lblTitolo->text();
            text = guida.txtGuida->toPlainText();
        });
        w.cmdGuida->click();
        EXPECT_TRUE(w.isVisible());
    });
    EXPECT_EQ(title, QStringLiteral("Esportazione archivio dati in Excel"));
    EXPECT_EQ(TfrmExpIndirizzi::HelpParagraphs().size(), 3);
    EXPECT_EQ(HelpText(TfrmExpIndirizzi::HelpParagraphs()).count(QStringLiteral("\r\n\r\n")), 2);
    EXPECT_EQ(text.count(QStringLiteral("\n\n")), 2);
}

TEST_F(ExpIndirizzi, EsciClosesTheWindow) {
    bool closed = false;
    Open([&](TfrmExpIndirizzi& w) {
        w.cmdEsci->click();
        closed = !w.isVisible();
    });
    EXPECT_TRUE(closed);
    EXPECT_TRUE(log.messages.empty());
    EXPECT_FALSE(QFile::exists(fixture.folder.File(kXls)));
}

}  // namespace
