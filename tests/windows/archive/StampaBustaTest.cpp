#include "windows/archive/StampaBusta.h"

#include "support/WriteFailure.h"
#include "windows/app/Velmora.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "print/templates/Busta.h"
#include "core/archive/EnvelopeSettings.h"
#include "print/engine/Layout.h"
#include "print/engine/Prepared.h"
#include "report_ui/PrintDialog.h"
#include "support/FakePrinters.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace testing_support;
using namespace report;

namespace {

constexpr double kTolerance = 0.001;  // mm
const double kInsetX = UnitsToMm(report::kInsetX);
const double kInsetY = UnitsToMm(report::kInsetY);

const QString kIni = QStringLiteral("Impostazioni.ini");
const QString kFailure = QStringLiteral(
    "Attenzione: la stampa non è andata a buon fine.\n\r\n\r"
    "Si consiglia di controllare le impostazioni della stampante.");

// A line of text as it lands on paper, in mm from the paper's top-left corner.
struct Placed {
    QString text;
    double left, top;
    double boxRight;  // where the text is cut
};

// The lines of a prepared page that print something, in drawing order.
std::vector<Placed> PlacedLines(const PreparedPage& page) {
    std::vector<Placed> placed;
    for (const PreparedItem& item : page.items)
        if (const auto* t = std::get_if<PreparedText>(&item); t && !t->text.isEmpty())
            placed.push_back({t->text, page.leftMargin + UnitsToMm(t->x), page.topMargin + UnitsToMm(t->top),
                              page.leftMargin + UnitsToMm(t->clip.right())});
    return placed;
}

// Where line n (1 .. 6) of the address begins, with margins top and left.
void ExpectLineAt(const Placed& line, int n, double top, double left) {
    SCOPED_TRACE(line.text.toStdString());
    EXPECT_NEAR(line.left, left + 119 + kInsetX, kTolerance);
    EXPECT_NEAR(line.top, top + 57 + 5 * (n - 1) + kInsetY, kTolerance);
    EXPECT_NEAR(line.boxRight, left + 119 + 90, kTolerance);
}

envelope::Lines Numbered() {
    return {QStringLiteral("Uno"), QStringLiteral("Due"), QStringLiteral("Tre"),
            QStringLiteral("Quattro"), QStringLiteral("Cinque"), QStringLiteral("Sei")};
}

// Layout measures text, which needs the application's fonts.
class Busta : public ::testing::Test {
protected:
    void SetUp() override { EnsureApplication(); }
};

TEST_F(Busta, TemplateIsAMarginlessA4PageWithSixLines) {
    const auto envelope = envelope::Build();
    EXPECT_EQ(envelope->Name, QStringLiteral("repModulo"));
    EXPECT_EQ(envelope->ReportOptions.Name, QStringLiteral("Indirizzo su Busta"));
    EXPECT_EQ(envelope->PreviewOptions.Buttons, pbPrint | pbZoom | pbFullScreen | pbClose);
    EXPECT_EQ(envelope->PrintOptions.Printer, QStringLiteral("Default"));
    EXPECT_TRUE(envelope->PrintOptions.ShowDialog);
    const TrepReportPage& page = *envelope->ReportPage();
    EXPECT_EQ(page.Name, QStringLiteral("Page1"));
    EXPECT_EQ(page.PaperWidth, 210);
    EXPECT_EQ(page.PaperHeight, 297);
    EXPECT_EQ(page.Orientation(), poPortrait);
    for (double margin : {page.LeftMargin, page.TopMargin, page.RightMargin, page.BottomMargin}) EXPECT_EQ(margin, 0);
    EXPECT_EQ(page.Font.Color, claBrown);

    // Six text objects straight on the page, no bands.
    ASSERT_EQ(page.Children().size(), 6u);
    for (int line = 1; line <= 6; ++line) {
        SCOPED_TRACE(line);
        const auto* memo = dynamic_cast<const TrepMemoView*>(page.Children()[line - 1].get());
        ASSERT_NE(memo, nullptr);
        EXPECT_EQ(memo->Name, QStringLiteral("txtRigo0%1").arg(line));
        EXPECT_NEAR(UnitsToMm(memo->Left), 119.0, kTolerance);
        EXPECT_NEAR(UnitsToMm(memo->Top), 57.0 + 5 * (line - 1), kTolerance);
        EXPECT_NEAR(UnitsToMm(memo->Width), 90.0, kTolerance);
        EXPECT_NEAR(UnitsToMm(memo->Height), 4.4, kTolerance);
        EXPECT_EQ(memo->Font.Name, QStringLiteral("Arial"));
        EXPECT_NEAR(memo->Font.Height, -13.333333, 1e-5);
        EXPECT_EQ(memo->Font.Style, fsNone);
        EXPECT_EQ(memo->Font.Color, claBlack);
        EXPECT_EQ(memo->HAlign, haLeft);
        EXPECT_FALSE(memo->WordWrap);
        EXPECT_FALSE(memo->Color.isValid());
        EXPECT_EQ(memo->Memo(), QStringList{QStringLiteral("INDIRIZZO RIGO %1").arg(line)});
    }
}

// One template filled again and again, as the turns and margins change.
TEST_F(Busta, FillAndPrepareTurnsThePageThenMovesTheAddressByTheMargins) {
    struct Case {
        envelope::Placement placement;
        double paperWidth, paperHeight;
    };
    const Case cases[] = {
        {{false, 0, 0}, 210, 297},  {{false, 10, 5}, 210, 297}, {{true, 10, 5}, 297, 210},
        {{true, 0, 0}, 297, 210},   {{false, -3, 0}, 210, 297}, {{false, 2.5, -7}, 210, 297},
        {{true, -3, 12}, 297, 210},
    };
    const auto envelope = envelope::Build();
    for (const Case& c : cases) {
        const envelope::Placement& p = c.placement;
        SCOPED_TRACE(QStringLiteral("%1 T=%2 L=%3").arg(p.landscape).arg(p.topMm).arg(p.leftMm).toStdString());
        envelope::Lines lines = Numbered();
        lines[0] = QStringLiteral("  Uno\t");
        ASSERT_TRUE(envelope::FillAndPrepare(*envelope, p, lines));
        ASSERT_EQ(envelope->PreparedPages().size(), 1u);
        const PreparedPage& page = envelope->PreparedPages()[0];
        EXPECT_EQ(page.paperWidth, c.paperWidth);
        EXPECT_EQ(page.paperHeight, c.paperHeight);
        EXPECT_EQ(page.orientation, p.landscape ? poLandscape : poPortrait);
        EXPECT_EQ(page.rightMargin, 0);
        EXPECT_EQ(page.bottomMargin, 0);
        const std::vector<Placed> placed = PlacedLines(page);
        ASSERT_EQ(placed.size(), 6u);
        for (int n = 1; n <= 6; ++n) {
            EXPECT_EQ(placed[n - 1].text, Numbered()[n - 1]);
            ExpectLineAt(placed[n - 1], n, p.topMm, p.leftMm);
        }
    }
}

TEST_F(Busta, EmptyLinesPrintNothingAndALongLineIsCutAtItsBox) {
    const auto envelope = envelope::Build();
    envelope::Lines lines;
    lines[0] = QStringLiteral("Mario Rossi");
    lines[1] = QString(200, QLatin1Char('W'));
    lines[3] = QStringLiteral(" \t ");
    ASSERT_TRUE(envelope::FillAndPrepare(*envelope, {}, lines));
    ASSERT_EQ(envelope->PreparedPages().size(), 1u);
    const std::vector<Placed> placed = PlacedLines(envelope->PreparedPages()[0]);
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(placed[0].text, QStringLiteral("Mario Rossi"));
    ExpectLineAt(placed[0], 1, 0, 0);
    // The long line stays one line, cut at 119 + 90 mm; nothing wraps below it.
    EXPECT_EQ(placed[1].text, lines[1]);
    ExpectLineAt(placed[1], 2, 0, 0);
}

// The envelope window opened from the data archive window, on a fake printer.
class StampaBusta : public ::testing::Test {
protected:
    void SetUp() override {
        archive = &fixture.app->frmArchivio_Indirizzi();
        archive->Present();
        const envelope::Lines lines = Numbered();
        for (int n = 0; n < 6; ++n) archive->LineBoxes()[n]->setText(lines[n]);
    }

    // What one opening came to.
    struct Opening {
        bool closed = false;                // the window had closed when `act` returned
        bool printDialog = false;           // the print dialog opened
        std::vector<PreparedPage> pages;    // the pages prepared for the print dialog
    };

    // Opens the window as the data archive window's envelope command does and
    // lets `act` work on it. The print dialog, if it opens, is answered with
    // OK (or Cancel), keeping the pages prepared for it.
    Opening Open(const std::function<void(TfrmStampaBusta&)>& act, bool ok = true) {
        Opening opening;
        TfrmStampaBusta* window = nullptr;
        ModalScript script;
        script.Then([&](QDialog& dialog) {
            window = &dynamic_cast<TfrmStampaBusta&>(dialog);
            act(*window);
            opening.closed = !window->isVisible();
        });
        script.Then([&](QDialog& dialog) {
            opening.printDialog = true;
            opening.pages = window->repModulo->PreparedPages();
            auto& print = dynamic_cast<TfrmPrintDialog&>(dialog);
            (ok ? print.btnOK : print.btnCancel)->click();
        });
        archive->cmdStampaClick();
        return opening;
    }

    static void Stampa(TfrmStampaBusta& window) { QTest::mouseClick(window.btnStampa, Qt::LeftButton); }

    QByteArray Settings() const { return fixture.folder.Read(kIni); }

    AppFixture fixture;
    MessageLog log;
    UseFakePrinters fake{{QStringLiteral("Ufficio")}};
    TfrmArchivio_Indirizzi* archive = nullptr;
};

QString LabelText(const QWidget& window, const char* name) {
    const auto* label = window.findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("(missing)");
}

TEST_F(StampaBusta, OpensCentredOnTheArchiveWindowWithItsControls) {
    const Opening opening = Open([&](TfrmStampaBusta& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral(" Stampa indirizzo su busta"));
        EXPECT_EQ(w.size(), QSize(498, 470));
        EXPECT_EQ(w.parentWidget(), archive);
        EXPECT_LE((w.frameGeometry().center() - archive->frameGeometry().center()).manhattanLength(), 2);
        EXPECT_TRUE(w.imgMargini->isVisible());
        EXPECT_EQ(w.imgMargini->size(), QSize(468, 170));
        EXPECT_EQ(LabelText(w, "lblTitOrientamento"), QStringLiteral("Orientamento:"));
        EXPECT_EQ(LabelText(w, "lblTitTop"), QStringLiteral("Margine superiore:"));
        EXPECT_EQ(LabelText(w, "lblTitLeft"), QStringLiteral("Margine sinistro:"));
        EXPECT_EQ(LabelText(w, "lblTop"), QStringLiteral("mm"));
        EXPECT_EQ(LabelText(w, "lblLeft"), QStringLiteral("mm"));
        EXPECT_EQ(w.optVerticale->text(), QStringLiteral("Verticale"));
        EXPECT_EQ(w.optOrizzontale->text(), QStringLiteral("Orizzontale"));
        for (QPushButton* minus : {w.btnTopMinus, w.btnLeftMinus}) EXPECT_EQ(minus->text(), QStringLiteral("-"));
        for (QPushButton* plus : {w.btnTopPlus, w.btnLeftPlus}) EXPECT_EQ(plus->text(), QStringLiteral("+"));
        for (QLineEdit* box : {w.txtTop, w.txtLeft}) {
            EXPECT_TRUE(box->isReadOnly());
            EXPECT_EQ(box->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        }
        for (QPushButton* apply : {w.btnApplicaTop, w.btnApplicaLeft}) {
            EXPECT_FALSE(apply->isVisible());
            EXPECT_TRUE(apply->text().isEmpty());
        }
        EXPECT_FALSE(w.lblAttendere->isVisible());
        EXPECT_EQ(w.lblAttendere->text(), QStringLiteral("Elaborazione in corso. Attendere..."));
        EXPECT_TRUE(w.lblAttendere->font().italic());
        EXPECT_EQ(w.btnAnnulla->text(), QStringLiteral("Annulla"));
        EXPECT_EQ(w.btnStampa->text(), QStringLiteral("Stampa"));
        EXPECT_LT(w.btnAnnulla->x(), w.btnStampa->x());
        QTest::mouseClick(w.btnAnnulla, Qt::LeftButton);
    });
    EXPECT_TRUE(opening.closed);
    EXPECT_FALSE(opening.printDialog);
    EXPECT_FALSE(QFile::exists(fixture.folder.File(kIni))) << "Annulla saves nothing";
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(StampaBusta, WithoutASettingsFileShowsTheDefaultsAndStampaStoresThem) {
    const Opening opening = Open([](TfrmStampaBusta& w) {
        EXPECT_EQ(w.txtTop->text(), QStringLiteral("0"));
        EXPECT_EQ(w.txtLeft->text(), QStringLiteral("0"));
        EXPECT_TRUE(w.optVerticale->isChecked());
        EXPECT_FALSE(w.optOrizzontale->isChecked());
        Stampa(w);
    });
    EXPECT_TRUE(opening.closed);
    ASSERT_TRUE(opening.printDialog);
    ASSERT_EQ(fake.printers->jobs.size(), 1u);
    // Sections and keys in this order, whatever the line endings.
    QStringList lines = QString::fromUtf8(Settings()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString& line : lines) line = line.trimmed();
    EXPECT_EQ(lines, QStringList({"[Margini Busta]", "Superiore=0", "Sinistro=0", "[Stampa Busta]",
                                  "Orientamento=Verticale"}));
    EXPECT_TRUE(log.messages.empty());
}

// Margins and orientation from the file and from the "-" and "+" buttons
// place the address; what was printed is what is stored.
TEST_F(StampaBusta, TheSettingsAndTheStepsPlaceTheAddress) {
    struct Case {
        const char* file;  // nullptr: none
        std::vector<QPushButton* TfrmStampaBusta::*> presses;
        const char* top;   // the boxes when printed
        const char* left;
        bool landscape;
        double topMm, leftMm;
    };
    using W = TfrmStampaBusta;
    const Case cases[] = {
        {nullptr, {}, "0", "0", false, 0, 0},
        {"[Margini Busta]\r\nSuperiore=10\r\nSinistro=5\r\n", {}, "10", "5", false, 10, 5},
        {nullptr, {&W::btnTopMinus, &W::btnTopMinus, &W::btnTopMinus}, "-3", "0", false, -3, 0},
        {"[Margini Busta]\nSuperiore=1\nSinistro=-1\n", {&W::btnLeftPlus, &W::btnLeftPlus, &W::btnTopMinus}, "0",
         "1", false, 0, 1},
        {"[Margini Busta]\nSuperiore=10\nSinistro=5\n[Stampa Busta]\nOrientamento=Orizzontale\n", {}, "10", "5",
         true, 10, 5},
        {"[Stampa Busta]\nOrientamento= Orizzontale \n", {}, "0", "0", true, 0, 0},
        {"[Stampa Busta]\nOrientamento=orizzontale\n", {}, "0", "0", false, 0, 0},
        {"[Stampa Busta]\nOrientamento=Verticale\n", {}, "0", "0", false, 0, 0},
        // A decimal comma is read by the print, though the steps refuse it.
        {"[Margini Busta]\nSuperiore=2,5\nSinistro=\n", {}, "2,5", "0", false, 2.5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "(no file)");
        QFile::remove(fixture.folder.File(kIni));
        if (c.file) fixture.folder.Write(kIni, c.file);
        fake.printers->jobs.clear();
        const Opening opening = Open([&](TfrmStampaBusta& w) {
            EXPECT_EQ(w.optOrizzontale->isChecked(), c.landscape);
            EXPECT_NE(w.optVerticale->isChecked(), c.landscape);
            for (auto button : c.presses) QTest::mouseClick(w.*button, Qt::LeftButton);
            EXPECT_EQ(w.txtTop->text().toStdString(), c.top);
            EXPECT_EQ(w.txtLeft->text().toStdString(), c.left);
            Stampa(w);
        });
        EXPECT_TRUE(opening.closed);
        EXPECT_EQ(fake.printers->jobs.size(), 1u);
        ASSERT_EQ(opening.pages.size(), 1u);
        const PreparedPage& page = opening.pages[0];
        EXPECT_EQ(page.paperWidth, c.landscape ? 297 : 210);
        EXPECT_EQ(page.paperHeight, c.landscape ? 210 : 297);
        const std::vector<Placed> placed = PlacedLines(page);
        ASSERT_EQ(placed.size(), 6u);
        for (int n = 1; n <= 6; ++n) ExpectLineAt(placed[n - 1], n, c.topMm, c.leftMm);

        const envelope_settings::Settings stored = envelope_settings::Read(fixture.folder.Folder());
        EXPECT_EQ(stored.top.toStdString(), c.top);
        EXPECT_EQ(stored.left.toStdString(), c.left);
        EXPECT_EQ(stored.landscape, c.landscape);
        EXPECT_TRUE(QString::fromUtf8(Settings()).contains(
            QString::fromLatin1(c.landscape ? "Orientamento=Orizzontale" : "Orientamento=Verticale")));
    }
    EXPECT_TRUE(log.messages.empty()) << log.Texts().join(u'|').toStdString();
}

TEST_F(StampaBusta, OrizzontaleIsStoredAndCheckedAtTheNextOpening) {
    const Opening first = Open([](TfrmStampaBusta& w) {
        QTest::mouseClick(w.optOrizzontale, Qt::LeftButton);
        EXPECT_FALSE(w.optVerticale->isChecked());
        Stampa(w);
    });
    ASSERT_EQ(first.pages.size(), 1u);
    EXPECT_EQ(first.pages[0].paperWidth, 297);
    EXPECT_EQ(first.pages[0].paperHeight, 210);
    EXPECT_TRUE(QString::fromUtf8(Settings()).contains(QStringLiteral("Orientamento=Orizzontale")));

    // The next opening starts from it; choosing Verticale again stores that.
    Open([](TfrmStampaBusta& w) {
        EXPECT_TRUE(w.optOrizzontale->isChecked());
        EXPECT_FALSE(w.optVerticale->isChecked());
        QTest::mouseClick(w.optVerticale, Qt::LeftButton);
        Stampa(w);
    });
    EXPECT_TRUE(QString::fromUtf8(Settings()).contains(QStringLiteral("Orientamento=Verticale")));
}

TEST_F(StampaBusta, AnnullaLeavesTheSettingsFileByteForByte) {
    const QByteArray before = "; busta\n[Margini Busta]\nSuperiore = 4\nSinistro=\"2\"\n[Stampa Busta]\nOrientamento=Verticale";
    fixture.folder.Write(kIni, before);
    const Opening opening = Open([](TfrmStampaBusta& w) {
        EXPECT_EQ(w.txtTop->text(), QStringLiteral("4"));
        EXPECT_EQ(w.txtLeft->text(), QStringLiteral("2"));
        QTest::mouseClick(w.btnTopPlus, Qt::LeftButton);
        QTest::mouseClick(w.btnLeftMinus, Qt::LeftButton);
        QTest::mouseClick(w.optOrizzontale, Qt::LeftButton);
        EXPECT_EQ(w.txtTop->text(), QStringLiteral("5"));
        EXPECT_EQ(w.txtLeft->text(), QStringLiteral("1"));
        QTest::mouseClick(w.btnAnnulla, Qt::LeftButton);
    });
    EXPECT_TRUE(opening.closed);
    EXPECT_FALSE(opening.printDialog);
    EXPECT_TRUE(fake.printers->jobs.empty());
    EXPECT_EQ(Settings(), before);
}

TEST_F(StampaBusta, StampaChangesOnlyItsThreeLinesOfAnExistingFile) {
    fixture.folder.Write(kIni, "; busta\r\n[Altro]\r\nSuperiore=99\r\n\r\n[margini busta]\r\nsuperiore=4\r\n"
                               "; nota\r\nSinistro=2\r\n\r\n[Stampa Busta]\r\nOrientamento=Orizzontale\r\nx=y\r\n");
    Open([](TfrmStampaBusta& w) {
        QTest::mouseClick(w.btnTopPlus, Qt::LeftButton);
        QTest::mouseClick(w.optVerticale, Qt::LeftButton);
        Stampa(w);
    });
    EXPECT_EQ(Settings(), QByteArray("; busta\r\n[Altro]\r\nSuperiore=99\r\n\r\n[margini busta]\r\nSuperiore=5\r\n"
                                     "; nota\r\nSinistro=2\r\n\r\n[Stampa Busta]\r\nOrientamento=Verticale\r\nx=y\r\n"));
}

TEST_F(StampaBusta, PrintsTheLinesAsTheyStandOnScreenTrimmed) {
    // Typed, not saved: two lines, one with blanks around it.
    for (QLineEdit* box : archive->LineBoxes()) box->clear();
    archive->txtRigo01->setText(QStringLiteral("  Mario Rossi "));
    archive->txtRigo02->setText(QStringLiteral("Via Roma 1"));
    const Opening opening = Open(Stampa);
    ASSERT_EQ(opening.pages.size(), 1u);
    const std::vector<Placed> placed = PlacedLines(opening.pages[0]);
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(placed[0].text, QStringLiteral("Mario Rossi"));
    EXPECT_EQ(placed[1].text, QStringLiteral("Via Roma 1"));
    ExpectLineAt(placed[0], 1, 0, 0);
    ExpectLineAt(placed[1], 2, 0, 0);
    EXPECT_FALSE(QFile::exists(fixture.folder.File(QStringLiteral("Archivio_Dati.pro")))) << "no record file is read";
}

TEST_F(StampaBusta, TheWaitNoticeShowsFromTheMousePressOnStampa) {
    QLabel* notice = nullptr;
    bool duringPrint = false;
    ModalScript script;
    script.Then([&](QDialog& dialog) {
        auto& w = dynamic_cast<TfrmStampaBusta&>(dialog);
        notice = w.lblAttendere;
        EXPECT_FALSE(notice->isVisible());
        QTest::mousePress(w.btnStampa, Qt::LeftButton);
        EXPECT_TRUE(notice->isVisible());
        EXPECT_FALSE(QFile::exists(fixture.folder.File(kIni))) << "the press alone saves nothing";
        QTest::mouseRelease(w.btnStampa, Qt::LeftButton);
        EXPECT_FALSE(w.isVisible());
    });
    script.Then([&](QDialog& dialog) {
        duringPrint = notice->isVisible();
        dynamic_cast<TfrmPrintDialog&>(dialog).btnOK->click();
    });
    archive->cmdStampaClick();
    EXPECT_TRUE(duringPrint);
    EXPECT_TRUE(script.Done());
}

TEST_F(StampaBusta, CancellingThePrintDialogIsNoFailure) {
    const Opening opening = Open([](TfrmStampaBusta& w) {
        QTest::mouseClick(w.btnLeftPlus, Qt::LeftButton);
        Stampa(w);
    }, false);
    EXPECT_TRUE(opening.printDialog);
    EXPECT_TRUE(opening.closed);
    EXPECT_TRUE(fake.printers->jobs.empty());
    EXPECT_TRUE(log.messages.empty());
    EXPECT_EQ(envelope_settings::Read(fixture.folder.Folder()).left, QStringLiteral("1")) << "saved before the print";
}

TEST_F(StampaBusta, AMarginThatIsNotAWholeNumberCannotBeStepped) {
    fixture.folder.Write(kIni, "[Margini Busta]\nSuperiore=abc\nSinistro=2,5\n");
    Open([&](TfrmStampaBusta& w) {
        EXPECT_EQ(w.txtTop->text(), QStringLiteral("abc"));
        for (QPushButton* button : {w.btnTopMinus, w.btnTopPlus, w.btnLeftMinus, w.btnLeftPlus}) {
            log.Clear();
            QTest::mouseClick(button, Qt::LeftButton);
            ASSERT_EQ(log.messages.size(), 1u);
            EXPECT_EQ(log.messages[0].kind, ui::Kind::Error);
            EXPECT_EQ(log.messages[0].buttons, ui::Buttons::Ok);
        }
        EXPECT_EQ(log.messages[0].text, QStringLiteral("'2,5' is not a valid integer value"));
        EXPECT_EQ(w.txtTop->text(), QStringLiteral("abc"));
        EXPECT_EQ(w.txtLeft->text(), QStringLiteral("2,5"));
        QTest::mouseClick(w.btnAnnulla, Qt::LeftButton);
    });
}

// Whatever fails on the way from the save to the printer: one warning with OK
// and Cancel, then the window closes. What was saved before stays saved.
TEST_F(StampaBusta, AnyFailureOfStampaEndsInOneWarningAndTheWindowCloses) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        bool printDialog;       // the print dialog opened before the failure
        const char* storedTop;  // nullptr: nothing stored
    };
    const QString ini = fixture.folder.File(kIni);
    const Case cases[] = {
        {"a folder in place of the settings file", [&] { QDir().mkdir(ini); }, false, nullptr},
        {"a margin that is not a number", [&] { fixture.folder.Write(kIni, "[Margini Busta]\nSuperiore=abc\n"); },
         false, "abc"},
        {"no printer installed", [&] { fake.printers->names.clear(); }, false, "0"},
        {"the printer is not valid",
         [&] { fake.printers->unusable = {QStringLiteral("Ufficio")}; }, true, "0"},
        {"the spooler fails", [&] { fake.printers->spoolerFails = true; }, true, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (ui::Answer answer : {ui::Answer::Ok, ui::Answer::Cancel}) {
            QDir(ini).removeRecursively();
            QFile::remove(ini);
            fake.printers->names = {QStringLiteral("Ufficio")};
            fake.printers->unusable.clear();
            fake.printers->spoolerFails = false;
            c.arrange();
            log.Clear();
            log.answers = {answer};
            const Opening opening = Open(Stampa);
            EXPECT_TRUE(opening.closed);
            EXPECT_EQ(opening.printDialog, c.printDialog);
            EXPECT_TRUE(fake.printers->jobs.empty());
            ASSERT_EQ(log.messages.size(), 1u) << log.Texts().join(u'|').toStdString();
            EXPECT_EQ(log.messages[0].text, kFailure);
            EXPECT_EQ(log.messages[0].kind, ui::Kind::Warning);
            EXPECT_EQ(log.messages[0].buttons, ui::Buttons::OkCancel);
            if (c.storedTop) {
                EXPECT_EQ(envelope_settings::Read(fixture.folder.Folder()).top.toStdString(), c.storedTop);
            }
        }
    }
}

// As root too, whom permissions do not stop: the settings file cannot grow.
TEST_F(StampaBusta, ASettingsFileThatCannotBeWrittenPrintsNothing) {
    const QByteArray before = "[Margini Busta]\nSuperiore=7\n";
    fixture.folder.Write(kIni, before);
    Opening opening;
    {
        WritesFail full;
        opening = Open(Stampa);
    }
    EXPECT_TRUE(opening.closed);
    EXPECT_FALSE(opening.printDialog);
    EXPECT_TRUE(fake.printers->jobs.empty());
    EXPECT_EQ(log.Only(), kFailure);
    EXPECT_EQ(Settings(), before) << "the old file stays whole";
}

}  // namespace

// A record whose six lines are blank (a new, empty one) would print a blank
// envelope: the window asks first, and No leaves it open with nothing saved
// or printed.
TEST_F(StampaBusta, ABlankAddressIsPrintedOnlyWhenTheUserSaysSo) {
    const QString question = QStringLiteral(
        "Attenzione: i sei righi dell'indirizzo sono vuoti e la busta uscirebbe bianca.\n\r\n\r"
        "Si vuole stampare comunque la busta senza indirizzo?");
    for (QLineEdit* box : archive->LineBoxes()) box->setText(QStringLiteral("  "));
    for (const ui::Answer answer : {ui::Answer::No, ui::Answer::Yes}) {
        SCOPED_TRACE(answer == ui::Answer::Yes ? "Yes" : "No");
        log.Clear();
        log.answers = {answer};
        const Opening opening = Open([](TfrmStampaBusta& w) {
            Stampa(w);
            if (w.isVisible()) {
                EXPECT_FALSE(w.lblAttendere->isVisible());
                QTest::mouseClick(w.btnAnnulla, Qt::LeftButton);
            }
        });
        ASSERT_EQ(log.messages.size(), 1u);
        EXPECT_EQ(log.messages[0].text, question);
        EXPECT_EQ(log.messages[0].kind, ui::Kind::Confirmation);
        EXPECT_EQ(log.messages[0].buttons, ui::Buttons::YesNo);
        EXPECT_EQ(opening.printDialog, answer == ui::Answer::Yes);
        EXPECT_EQ(QFile::exists(fixture.folder.File(kIni)), answer == ui::Answer::Yes);
    }
    EXPECT_EQ(fake.printers->jobs.size(), 1u);
}
