#include "windows/sheets/Archivio_Etichette.h"

#include "windows/app/Velmora.h"
#include "ui/PictureButton.h"
#include "windows/archive/ImportaIndirizzi.h"
#include "core/archive/DataRecord.h"
#include "core/archive/RecordFile.h"
#include "windows/shell/Avvio.h"
#include "windows/shell/Guida.h"
#include "support/SpecialFiles.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const QString kAccess = QStringLiteral(
    "Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
    "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma.");
const QString kFirstSlot =
    QStringLiteral("Attenzione: per salvare la scheda è necessario importare i dati della prima etichetta.");

class ArchivioEtichette : public ::testing::Test {
protected:
    void SetUp() override {
        w = &fixture.app->frmArchivio_Etichette();
        w->Present();
    }
    // What an import puts into a slot.
    void Import(int slot, const QString& name) {
        w->txtNome(slot)->setText(name);
        for (int line = 1; line <= 6; ++line)
            w->txtRigo(line, slot)->setText(QStringLiteral("%1 riga %2").arg(name).arg(line));
    }
    QByteArray Archive() const { return fixture.folder.Read(QStringLiteral("Archivio_Etichette.pro")); }
    static QByteArray Field(const QByteArray& page, int index) {
        const QByteArray f = page.mid(index * 251, 251);
        return f.mid(1, static_cast<unsigned char>(f[0]));
    }

    AppFixture fixture;
    MessageLog log;
    TfrmArchivio_Etichette* w = nullptr;
};

TEST_F(ArchivioEtichette, SaveNeedsTheFirstSlot) {
    Import(24, QStringLiteral("ultimo"));
    w->cmdSalvaClick();
    EXPECT_EQ(log.Only(), kFirstSlot);
    EXPECT_EQ(log.messages.back().kind, ui::Kind::Warning);
    EXPECT_FALSE(QFile::exists(fixture.folder.File(QStringLiteral("Archivio_Etichette.pro"))));
}

TEST_F(ArchivioEtichette, PageIsStoredFieldByField) {
    Import(1, QStringLiteral("primo"));
    Import(24, QStringLiteral("ultimo"));
    w->txtRigo(3, 1)->setText(QStringLiteral("  spazi  "));
    w->cmdSalvaClick();
    EXPECT_EQ(log.Only(), QStringLiteral("La scheda corrente è stata inserita in archivio."));
    EXPECT_EQ(w->lblPosizione->text(), QStringLiteral("1"));
    const QByteArray page = Archive();
    ASSERT_EQ(page.size(), 42168);
    EXPECT_EQ(Field(page, 0), "primo");
    EXPECT_EQ(page.mid(5773 + 1, 6), "ultimo");             // name of slot 24
    EXPECT_EQ(page.mid(40662 + 1, 13), "ultimo riga 1");    // line 1 of slot 24
    EXPECT_EQ(Field(page, 24), "primo riga 1");
    EXPECT_EQ(Field(page, 26), "spazi");
    int filled = 0;
    for (int f = 0; f < 168; ++f) filled += page[f * 251] != 0;
    EXPECT_EQ(filled, 14);
}

TEST_F(ArchivioEtichette, SavingAgainUpdatesAndBackspaceEmptiesOneSlot) {
    Import(1, QStringLiteral("uno"));
    Import(5, QStringLiteral("cinque"));
    Import(7, QStringLiteral("sette"));
    w->cmdSalvaClick();
    log.Clear();

    QApplication::setActiveWindow(w);
    w->txtNome(5)->setFocus();
    QTest::keyClick(w->txtNome(5), Qt::Key_Backspace);
    EXPECT_TRUE(w->txtNome(5)->text().isEmpty());
    EXPECT_TRUE(w->txtRigo(6, 5)->text().isEmpty());
    EXPECT_EQ(w->txtNome(7)->text(), QStringLiteral("sette"));
    EXPECT_EQ(w->lblPosizione->text(), QStringLiteral("1"));

    w->cmdSalvaClick();
    EXPECT_EQ(log.Only(), QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio."));
    const QByteArray page = Archive();
    ASSERT_EQ(page.size(), 42168);
    EXPECT_TRUE(Field(page, 4).isEmpty());
    EXPECT_EQ(Field(page, 6), "sette");

    // Delete does the same; typing does nothing in the read-only box.
    QTest::keyClicks(w->txtNome(7), QStringLiteral("x"));
    EXPECT_EQ(w->txtNome(7)->text(), QStringLiteral("sette"));
    QTest::keyClick(w->txtNome(7), Qt::Key_Delete);
    EXPECT_TRUE(w->txtRigo(1, 7)->text().isEmpty());
}

TEST_F(ArchivioEtichette, PagingReadsBackWhatWasSaved) {
    for (const char* name : {"a", "b", "c"}) {
        w->cmdNuovoClick();
        Import(1, QString::fromLatin1(name));
        Import(7, QString::fromLatin1(name) + QStringLiteral("7"));
        w->cmdSalvaClick();
    }
    EXPECT_EQ(w->lblPosizione->text(), QStringLiteral("3"));
    w->cmdNuovoClick();
    Import(2, QStringLiteral("non salvato"));
    w->cmdIndietroClick();  // from a new page: page 1, the import dropped
    EXPECT_EQ(w->lblPosizione->text(), QStringLiteral("1"));
    EXPECT_EQ(w->txtNome(1)->text(), QStringLiteral("a"));
    EXPECT_TRUE(w->txtNome(2)->text().isEmpty());
    EXPECT_EQ(w->txtRigo(6, 7)->text(), QStringLiteral("a7 riga 6"));
    w->cmdUltimoClick();
    EXPECT_EQ(w->txtNome(1)->text(), QStringLiteral("c"));
    w->cmdAvantiClick();
    EXPECT_EQ(w->lblPosizione->text(), QStringLiteral("3"));
    w->cmdIndietroClick();
    EXPECT_EQ(w->txtNome(7)->text(), QStringLiteral("b7"));
    EXPECT_EQ(log.messages.size(), 3u);  // the three appends, nothing from paging
}

// A slot's name longer than its box shows its beginning, as every box the
// program fills does: after an import through the picker and after paging.
TEST_F(ArchivioEtichette, ALongSlotNameShowsItsBeginning) {
    const QString name = QStringLiteral("Associazione Culturale Amici della Montagna");
    DataRecord record;
    record.SetText(DataRecord::Nome, name);
    DataRecordFile(fixture.folder.Path()).Append(record);
    QLineEdit* box = w->txtNome(5);
    ASSERT_GT(box->fontMetrics().horizontalAdvance(name), box->width()) << "the name must not fit";
    // Where the box shows the text from: its cursor, at the far left of the
    // box when the beginning is in view.
    auto showsBeginning = [&] {
        box->grab();  // laid out and scrolled as on screen
        return box->cursorPosition() == 0 && box->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() < box->width() / 4;
    };

    ModalScript script;
    script.Then([](QDialog& dialog) {
        auto& picker = dynamic_cast<TfrmImportaIndirizzi&>(dialog);
        picker.lstRecords->setCurrentIndex(picker.lstRecords->model()->index(0, 0));
        picker.lstRecordsDblClick();
    });
    w->impIndirizzoClick(5);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(box->text(), name);
    EXPECT_TRUE(showsBeginning()) << "after the import";

    Import(1, QStringLiteral("primo"));
    w->cmdSalvaClick();
    w->cmdNuovoClick();
    w->cmdPrimoClick();
    EXPECT_EQ(box->text(), name);
    EXPECT_TRUE(showsBeginning()) << "after paging";
}

TEST_F(ArchivioEtichette, EmptyAndUnreachableArchives) {
    w->cmdAvantiClick();
    EXPECT_EQ(log.Only(), QStringLiteral("L'archivio non contiene nessuna scheda."));
    EXPECT_EQ(Archive().size(), 0);
    EXPECT_TRUE(QFile::exists(fixture.folder.File(QStringLiteral("Archivio_Etichette.pro"))));
    EXPECT_TRUE(w->lblPosizione->text().isEmpty());

    // A folder, a FIFO (on which nothing may wait), a link to a device or a
    // socket in place of the archive.
    Import(1, QStringLiteral("uno"));
    for (const auto& special : testing_support::kSpecialFiles) {
        SCOPED_TRACE(special.name);
        ASSERT_TRUE(testing_support::PutSpecialFile(special, fixture.folder.File(QStringLiteral("Archivio_Etichette.pro"))));
        for (auto command : {&TfrmArchivio_Etichette::cmdSalvaClick, &TfrmArchivio_Etichette::cmdPrimoClick}) {
            log.Clear();
            (w->*command)();
            EXPECT_EQ(log.Only(), kAccess);
            EXPECT_EQ(w->txtNome(1)->text(), QStringLiteral("uno"));
            EXPECT_TRUE(w->lblPosizione->text().isEmpty());
        }
    }
}

TEST_F(ArchivioEtichette, EnterFromTheLastSlotGoesBackToTheFirst) {
    QApplication::setActiveWindow(w);
    w->txtNome(23)->setFocus();
    QTest::keyClick(w->txtNome(23), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), w->txtNome(24));
    QTest::keyClick(w->txtNome(24), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), w->txtNome(1));
}

TEST_F(ArchivioEtichette, ShowingTheWindowAgainStartsANewPage) {
    // The design texts of the line labels never survive the first showing.
    EXPECT_TRUE(w->txtRigo(1, 1)->text().isEmpty());
    Import(3, QStringLiteral("tre"));
    w->lblPosizione->setText(QStringLiteral("2"));
    w->close();
    fixture.app->HandOver(fixture.app->frmAvvio(), *w);
    EXPECT_TRUE(w->txtNome(3)->text().isEmpty());
    EXPECT_TRUE(w->txtRigo(2, 3)->text().isEmpty());
    EXPECT_TRUE(w->lblPosizione->text().isEmpty());
}

TEST_F(ArchivioEtichette, ImportArrowNamesItsSlotAndHelpHasSixParagraphs) {
    ModalScript script;
    QString key;
    QString title;
    script.Then([&](QDialog& d) { key = static_cast<TfrmImportaIndirizzi&>(d).lblMemory->text(); });
    script.Then([&](QDialog& d) { title = static_cast<TfrmGuida&>(d).lblTitolo->text(); });
    w->impIndirizzo(7)->click();
    w->cmdGuidaClick();
    EXPECT_EQ(key, QStringLiteral("etichetta_E07"));
    EXPECT_EQ(title, QStringLiteral("App Rarudozu Varedorur"));
    EXPECT_EQ(TfrmArchivio_Etichette::HelpParagraphs().size(), 6);
    EXPECT_EQ(label_grid::SlotOfKey(QStringLiteral("etichetta_E24")), 24);
    EXPECT_EQ(label_grid::SlotOfKey(QStringLiteral("lblMemory")), 0);
}

}  // namespace
