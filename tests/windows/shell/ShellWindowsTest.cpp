#include "windows/app/Velmora.h"
#include "core/platform/Version.h"
#include "ui/PictureButton.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "windows/sheets/Archivio_Etichette.h"
#include "windows/shell/Avvio.h"
#include "windows/shell/Guida.h"
#include "windows/shell/Info.h"
#include "windows/shell/OpenURL.h"
#include "windows/shell/Splash.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <functional>
#include <memory>

using testing::ElementsAre;
using testing::IsEmpty;
using testing_support::AppFixture;
using testing_support::MessageLog;
using testing_support::ModalScript;
using testing_support::TempFolder;

namespace {

// Records what the windows hand to the desktop instead of opening it.
class OpenerLog {
public:
    OpenerLog() {
        previous_ = TMisc::SetOpener([this](const QUrl& url) { opened.push_back(url); });
    }
    ~OpenerLog() { TMisc::SetOpener(previous_); }
    std::vector<QUrl> opened;

private:
    TMisc::Opener previous_;
};

void Settle() { QApplication::processEvents(); }

// --- The help-window mechanism ----------------------------------------------

// A window that offers help, and the topic its help shows.
struct HelpCase {
    const char* name;
    std::function<void(Velmora&)> open;
    const char* title;
    std::function<QStringList()> paragraphs;
};

class Help : public testing::TestWithParam<HelpCase> {
protected:
    AppFixture fixture;
};

TEST_P(Help, OpenedTwiceShowsTheSameTitleAndTextInAFreshWindow) {
    const HelpCase& c = GetParam();
    struct Seen {
        QDialog* dialog;
        QWidget* owner;
        bool modal;
        QString title, text;
    };
    std::vector<Seen> seen;
    const auto look = [&](QDialog& d) {
        auto& guida = static_cast<TfrmGuida&>(d);
        seen.push_back({&d, d.parentWidget(), QApplication::activeModalWidget() == &d, guida.lblTitolo->text(),
                        guida.txtGuida->toPlainText()});
        // Whatever happens to the first window must not reach the second.
        guida.lblTitolo->setText(QStringLiteral("cambiato"));
        guida.txtGuida->setPlainText(QStringLiteral("cambiato"));
    };
    ModalScript script;
    script.Then(look).Then(look);
    c.open(*fixture.app);
    c.open(*fixture.app);

    ASSERT_EQ(seen.size(), 2u);
    const QString text = QStringList(c.paragraphs()).join(QStringLiteral("\n\n"));
    for (const Seen& s : seen) {
        EXPECT_EQ(s.title, QString::fromUtf8(c.title));
        EXPECT_EQ(s.text, text);
        EXPECT_TRUE(s.modal);
        EXPECT_NE(s.owner, nullptr);
    }
    EXPECT_EQ(seen[0].owner, seen[1].owner);
    EXPECT_THAT(script.opened, ElementsAre(QStringLiteral(" Guida all'utilizzo del software"),
                                           QStringLiteral(" Guida all'utilizzo del software")));
}

INSTANTIATE_TEST_SUITE_P(
    Openers, Help,
    testing::Values(HelpCase{"Avvio", [](Velmora& app) { app.frmAvvio().imgGuidaClick(); }, "Uno sguardo a Velmora",
                             &TfrmAvvio::HelpParagraphs},
                    HelpCase{"ArchivioDati",
                             [](Velmora& app) { app.frmArchivio_Indirizzi().cmdGuidaClick(); }, "App Archivio Dati",
                             &TfrmArchivio_Indirizzi::HelpParagraphs},
                    HelpCase{"Etichette",
                             [](Velmora& app) { app.frmArchivio_Etichette().cmdGuidaClick(); },
                             "App Rarudozu Varedorur", &TfrmArchivio_Etichette::HelpParagraphs}),
    [](const testing::TestParamInfo<HelpCase>& info) { return info.param.name; });

TEST(HelpWindow, DesignStateBeforeTheCallerFillsIt) {
    testing_support::EnsureApplication();
    TempFolder folder;
    TfrmGuida guida(folder.Folder(), nullptr);
    EXPECT_EQ(guida.windowTitle(), QStringLiteral(" Guida all'utilizzo del software"));
    EXPECT_EQ(guida.size(), QSize(670, 572));
    EXPECT_EQ(guida.lblTitolo->text(), QStringLiteral("Argomento della guida."));
    EXPECT_TRUE(guida.txtGuida->toPlainText().isEmpty());
    EXPECT_TRUE(guida.txtGuida->isReadOnly());
    EXPECT_EQ(guida.txtGuida->size(), QSize(625, 350));
    EXPECT_EQ(guida.lblTitolo->palette().color(QPalette::WindowText), QColor(220, 20, 60));
}

// --- The three windows and their links --------------------------------------

struct LinkCase {
    const char* name;
    // Makes the window on the folder, owned by `owner`.
    std::function<std::unique_ptr<LinkDialog>(const ProgramFolder&, QWidget* owner)> make;
    const char* caption;
    const char* linkText;
    const char* iconName;
    // What the desktop receives, given the program folder.
    std::function<QUrl(const QString& folder)> target;
    bool centredOnOwner;
    QColor link;  // the link's own colour
};

const LinkCase kLinks[] = {
    {"Guida", [](const ProgramFolder& f, QWidget* o) { return std::make_unique<TfrmGuida>(f, o); },
     " Guida all'utilizzo del software", "Visualizza guida in formato PDF", "imgPDF",
     [](const QString& folder) { return QUrl::fromLocalFile(folder + QStringLiteral("/Guida.pdf")); }, false,
     QColor(0, 0, 139)},
    {"Info", [](const ProgramFolder&, QWidget* o) { return std::make_unique<TfrmInfo>(o); },
     " Informazioni su Velmora", "assistenza@velmora.example", "imgEmail",
     [](const QString&) { return QUrl(QStringLiteral("mailto:assistenza@velmora.example")); }, false,
     QColor(0, 0, 139)},
    {"Splash", [](const ProgramFolder&, QWidget* o) { return std::make_unique<TfrmSplash>(o); },
     " Velmora - software di Officina Esempio", "https://www.velmora.example", "imgWeb",
     [](const QString&) { return QUrl(QStringLiteral("https://www.velmora.example")); }, true,
     QColor(173, 216, 230)},
};

// The window on a program folder whose path holds spaces, owned by a small
// window away from the screen's centre, shown as its opener shows it.
class Links : public testing::TestWithParam<LinkCase> {
protected:
    void SetUp() override {
        testing_support::EnsureApplication();
        programFolder = temp.Path() + QStringLiteral("/Programmi utente/Velmora etichette");
        ASSERT_TRUE(QDir().mkpath(programFolder));
        owner.setGeometry(40, 40, 300, 200);
        owner.show();
        window = GetParam().make(ProgramFolder(programFolder), &owner);
        window->setWindowModality(Qt::ApplicationModal);
        window->show();
        Settle();
    }

    ui::PictureButton* Icon() const {
        return window->findChild<ui::PictureButton*>(QString::fromLatin1(GetParam().iconName));
    }
    QColor LinkColour() const { return window->lnkWeb->palette().color(QPalette::WindowText); }

    TempFolder temp;
    QString programFolder;
    QWidget owner;
    std::unique_ptr<LinkDialog> window;
};

TEST_P(Links, LookAsDesigned) {
    const LinkCase& c = GetParam();
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8(c.caption));
    EXPECT_EQ(window->lnkWeb->text(), QString::fromUtf8(c.linkText));
    EXPECT_EQ(window->lnkWeb->font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(window->lnkWeb->font().pointSize(), 14);
    EXPECT_TRUE(window->lnkWeb->font().underline());
    ASSERT_NE(Icon(), nullptr);
    EXPECT_EQ(Icon()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(window->lnkWeb->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(window->btnChiudi->text(), QStringLiteral("Chiudi"));
    EXPECT_EQ(LinkColour(), c.link);
    // A fixed window without title-bar buttons.
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowCloseButtonHint);

    const QPoint centre = window->frameGeometry().center();
    const QPoint expected = c.centredOnOwner ? owner.frameGeometry().center()
                                             : window->screen()->availableGeometry().center();
    // Within the window frame's few pixels: the owner sits far from the screen's centre.
    EXPECT_LE((centre - expected).manhattanLength(), 8) << centre.x() << "," << centre.y();
    EXPECT_GT((owner.frameGeometry().center() - window->screen()->availableGeometry().center()).manhattanLength(), 100);
}

TEST_P(Links, ClickOnTheLinkOrItsIconHandsTheTargetToTheDesktop) {
    OpenerLog desktop;
    MessageLog log;
    QTest::mouseClick(window->lnkWeb, Qt::LeftButton);
    QTest::mouseClick(Icon(), Qt::LeftButton);
    Settle();
    const QUrl target = GetParam().target(programFolder);
    EXPECT_THAT(desktop.opened, ElementsAre(target, target));
    EXPECT_THAT(log.messages, IsEmpty());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(LinkColour(), GetParam().link);
}

TEST_P(Links, PressTurnsTheLinkOrangeAndReleaseDarkBlue) {
    OpenerLog desktop;
    for (QWidget* pressed : {static_cast<QWidget*>(window->lnkWeb), static_cast<QWidget*>(Icon())}) {
        QTest::mousePress(pressed, Qt::LeftButton);
        EXPECT_EQ(LinkColour(), QColor(255, 165, 0));
        // Released away from where it was pressed: no click, the colour comes back.
        QTest::mouseRelease(pressed, Qt::LeftButton, {}, QPoint(-5, -5));
        EXPECT_EQ(LinkColour(), GetParam().link);
    }
    EXPECT_THAT(desktop.opened, IsEmpty());
}

// WCAG 2's relative luminance of a colour and the contrast of two.
double Luminance(QColor colour) {
    auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}
double Contrast(QColor a, QColor b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The link reads against the background as the window paints it under the
// link: at least 4.5:1 (WCAG AA) with every pixel there.
TEST_P(Links, TheLinkStandsOutFromItsBackground) {
    const QRect place = window->lnkWeb->geometry();
    window->lnkWeb->hide();
    const QImage background = window->grab(place).toImage();
    window->lnkWeb->show();
    ASSERT_FALSE(background.isNull());
    double lowest = 21;
    for (int y = 0; y < background.height(); ++y)
        for (int x = 0; x < background.width(); ++x)
            lowest = std::min(lowest, Contrast(LinkColour(), background.pixelColor(x, y)));
    EXPECT_GE(lowest, 4.5) << "link " << LinkColour().name().toStdString();
}

TEST_P(Links, ChiudiClosesTheWindow) {
    QTest::mouseClick(window->btnChiudi, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Windows, Links, testing::ValuesIn(kLinks),
                         [](const testing::TestParamInfo<LinkCase>& info) { return info.param.name; });

// The information window names the program's version as the build gives it.
TEST(InfoWindow, ShowsTheVersion) {
    testing_support::EnsureApplication();
    TfrmInfo info(nullptr);
    info.show();
    const QString version = QLatin1String(platform::kVersion);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+")).match(version).hasMatch()) << platform::kVersion;
    EXPECT_EQ(info.lblVersione->text(), QStringLiteral("Versione ") + version);
    EXPECT_TRUE(info.lblVersione->isVisible());
    EXPECT_TRUE(info.rect().contains(info.lblVersione->geometry()));
    EXPECT_FALSE(info.lblVersione->geometry().intersects(info.imgLogo->parentWidget()->geometry()));
    EXPECT_FALSE(info.lblVersione->geometry().intersects(info.btnChiudi->geometry()));
}

// The guide's link points into the program folder as the application knows it.
TEST(HelpWindow, PdfLinkOpensTheGuideOfTheProgramFolder) {
    AppFixture fixture;
    OpenerLog desktop;
    ModalScript script;
    script.Then([](QDialog& d) { static_cast<TfrmGuida&>(d).imgPDF->click(); });
    fixture.app->frmArchivio_Etichette().cmdGuidaClick();
    EXPECT_THAT(desktop.opened, ElementsAre(QUrl::fromLocalFile(fixture.folder.File(QStringLiteral("Guida.pdf")))));
}

// Without Guida.pdf, and with whatever the machine has for opening it, a click
// on the link leaves everything as it was: no message, no other window, the
// help window open.
TEST(HelpWindow, MissingGuideDoesNothingAndTheWindowStaysOpen) {
    testing_support::EnsureApplication();
    TempFolder folder;
    MessageLog log;
    TfrmGuida guida(folder.Folder(), nullptr);
    guida.show();
    Settle();
    const QWidgetList before = QApplication::topLevelWidgets();
    QTest::mouseClick(guida.lnkWeb, Qt::LeftButton);
    Settle();
    EXPECT_TRUE(guida.isVisible());
    EXPECT_THAT(log.messages, IsEmpty());
    int shown = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && !before.contains(w)) ++shown;
    EXPECT_EQ(shown, 0);
    EXPECT_FALSE(QFileInfo::exists(folder.File(QStringLiteral("Guida.pdf"))));
}

}  // namespace
