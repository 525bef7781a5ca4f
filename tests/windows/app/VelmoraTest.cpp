#include "windows/app/Velmora.h"

#include "windows/access/Password.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "core/archive/DataRecord.h"
#include "windows/archive/TrovaIndirizzi.h"
#include "windows/sheets/Archivio_Etichette.h"
#include "windows/shell/Avvio.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

std::vector<QWidget*> Visible(const Velmora& app) {
    std::vector<QWidget*> visible;
    for (QWidget* w : app.Windows())
        if (w->isVisible()) visible.push_back(w);
    return visible;
}

TEST(Velmora, CreatesTheSixteenWindowsHiddenInOrder) {
    AppFixture fixture;
    struct Expected {
        const char* className;
        const char* caption;
        bool sizeable;
    };
    const Expected expected[] = {
        {"TfrmPassword", " Velmora - Riconoscimento", false},
        {"TfrmAllegaCartella", " Allega file", false},
        {"TfrmAnteprima_Etichetta", " Anteprima di stampa", false},
        {"TfrmAnteprima_Etichette", " Anteprima di stampa", false},
        {"TfrmArchivio_Etichette", " Velmora - Rarudozu Varedorur", true},
        {"TfrmArchivio_Indirizzi", " Velmora - Archivio Dati", true},
        {"TfrmAvvio", " Velmora", true},
        {"TfrmCambiaPassword", " Cambia password", false},
        {"TfrmExpIndirizzi", " Esportazione archivio dati in Excel", false},
        {"TfrmGuida", " Guida all'utilizzo del software", false},
        {"TfrmImportaIndirizzi", " Importa etichetta da archivio dati", false},
        {"TfrmInfo", " Informazioni su Velmora", false},
        {"TfrmSplash", nullptr, false},
        {"TfrmStampa_Etichette", " Stampa pagina etichette", false},
        {"TfrmStampaBusta", " Stampa indirizzo su busta", false},
        {"TfrmTrovaIndirizzi", " Trova schede in archivio", false},
    };
    const auto& windows = fixture.app->Windows();
    ASSERT_EQ(windows.size(), std::size(expected));
    for (std::size_t i = 0; i < windows.size(); ++i) {
        QWidget* w = windows[i];
        SCOPED_TRACE(expected[i].className);
        EXPECT_STREQ(typeid(*w).name() + std::strlen(typeid(*w).name()) - std::strlen(expected[i].className),
                     expected[i].className);
        if (expected[i].caption) {
            EXPECT_EQ(w->windowTitle(), QString::fromUtf8(expected[i].caption));
        }
        EXPECT_TRUE(w->windowTitle().startsWith(QLatin1Char(' ')));
        EXPECT_FALSE(w->isVisible());
        // Only the three work windows have title-bar buttons and a sizeable frame.
        const Qt::WindowFlags flags = w->windowFlags();
        EXPECT_EQ(flags.testFlag(Qt::CustomizeWindowHint), !expected[i].sizeable);
        EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint) && !expected[i].sizeable);
        EXPECT_EQ(w->minimumSize() == w->maximumSize(), !expected[i].sizeable);
    }
}

TEST(Velmora, EveryWindowShowsTheProgramsIcon) {
    AppFixture fixture;
    const QIcon icon = QApplication::windowIcon();
    ASSERT_FALSE(icon.pixmap(32).isNull());
    // The program's picture: a blue tile with a white sheet on it.
    EXPECT_EQ(icon.pixmap(64).toImage().pixelColor(2, 32), QColor(0x46, 0x82, 0xb4));
    EXPECT_EQ(icon.pixmap(64).toImage().pixelColor(32, 7), QColor(Qt::white));
    for (QWidget* w : fixture.app->Windows()) {
        SCOPED_TRACE(w->metaObject()->className());
        EXPECT_EQ(w->windowIcon().cacheKey(), icon.cacheKey());
    }
}

TEST(Velmora, StartShowsTheLoginWindowAloneCentred) {
    AppFixture fixture;
    fixture.app->Start();
    TfrmPassword& login = fixture.app->frmPassword();
    EXPECT_EQ(Visible(*fixture.app), std::vector<QWidget*>{&login});
    const QRect screen = login.screen()->availableGeometry();
    EXPECT_LE((login.frameGeometry().center() - screen.center()).manhattanLength(), 4);
}

TEST(Velmora, WorkWindowsHandOverToTheLauncherAndBack) {
    AppFixture fixture;
    Velmora& app = *fixture.app;
    app.Start();
    app.HandOver(app.frmPassword(), app.frmAvvio());
    EXPECT_EQ(Visible(app), std::vector<QWidget*>{&app.frmAvvio()});
    for (ui::Window* work : std::initializer_list<ui::Window*>{&app.frmArchivio_Indirizzi(), &app.frmArchivio_Etichette()}) {
        app.HandOver(app.frmAvvio(), *work);
        EXPECT_EQ(Visible(app), std::vector<QWidget*>{work});
        work->close();  // the title-bar close box
        EXPECT_EQ(Visible(app), std::vector<QWidget*>{&app.frmAvvio()});
        EXPECT_FALSE(app.Terminated());
    }
}

TEST(Velmora, RunEndsWhenTheLauncherOrTheLoginWindowCloses) {
    for (bool launcher : {true, false}) {
        AppFixture fixture;
        Velmora& app = *fixture.app;
        app.Start();
        if (launcher) {
            app.HandOver(app.frmPassword(), app.frmAvvio());
            app.frmAvvio().close();
        } else {
            app.frmPassword().close();
        }
        EXPECT_TRUE(app.Terminated());
        EXPECT_TRUE(Visible(app).empty());
    }
}

TEST(Velmora, ADialogStartsFromItsDesignStateEachTime) {
    AppFixture fixture;
    TfrmArchivio_Indirizzi& archive = fixture.app->frmArchivio_Indirizzi();
    archive.Present();
    ModalScript script;
    std::vector<QString> searches;
    std::vector<int> rows;
    auto look = [&](QDialog& d) {
        auto& picker = static_cast<TfrmTrovaIndirizzi&>(d);
        searches.push_back(picker.txtTrova->text());
        rows.push_back(int(picker.ItemTexts().size()));
        picker.txtTrova->setText(QStringLiteral("rossi"));
    };
    script.Then(look).Then(look);
    archive.cmdTrovaClick();
    DataRecord record;
    record.SetText(DataRecord::Nome, QStringLiteral("Rossi"));
    DataRecordFile(fixture.folder.Path()).Append(record);
    archive.cmdTrovaClick();
    // The second opening starts with an empty search box and reads the file again.
    EXPECT_EQ(searches, (std::vector<QString>{QString(), QString()}));
    EXPECT_EQ(rows, (std::vector<int>{0, 1}));
}

// The place of a control within the part of the window's background on show.
QRect OnShow(const QScrollArea& scroll, const QWidget& control) {
    return QRect(control.mapTo(scroll.viewport(), QPoint(0, 0)), control.size());
}

TEST(Velmora, WorkWindowsSmallerThanTheirContentScrollToEveryControl) {
    AppFixture fixture;
    struct Case {
        QWidget* window;
        std::vector<const char*> controls;
    };
    const Case cases[] = {
        {&fixture.app->frmAvvio(), {"imgEsci"}},
        {&fixture.app->frmArchivio_Indirizzi(), {"cmdEsci", "cmdGuida"}},
        {&fixture.app->frmArchivio_Etichette(), {"cmdEsci", "cmdGuida", "impIndirizzo_E24"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.window->metaObject()->className());
        c.window->show();
        c.window->resize(640, 400);
        QCoreApplication::processEvents();
        EXPECT_EQ(c.window->size(), QSize(640, 400));
        auto* scroll = c.window->findChild<QScrollArea*>(QStringLiteral("scrSfondo"));
        ASSERT_NE(scroll, nullptr);
        for (const char* name : c.controls) {
            SCOPED_TRACE(name);
            auto* control = c.window->findChild<QWidget*>(QString::fromLatin1(name));
            ASSERT_NE(control, nullptr);
            scroll->horizontalScrollBar()->setValue(0);
            scroll->verticalScrollBar()->setValue(0);
            EXPECT_FALSE(scroll->viewport()->rect().contains(OnShow(*scroll, *control)));
            scroll->ensureWidgetVisible(control, 0, 0);
            EXPECT_TRUE(scroll->viewport()->rect().contains(OnShow(*scroll, *control)));
        }

        // On a large window nothing scrolls and the content stays centred.
        c.window->resize(1920, 1080);
        QCoreApplication::processEvents();
        EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
        EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
        const QWidget* panel = scroll->widget()->findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_NE(panel, nullptr);
        EXPECT_LE((panel->geometry().center() - scroll->viewport()->rect().center()).manhattanLength(), 1);
        c.window->hide();
    }
}

// A work window left scrolled to its far corner opens again from its left
// edge (and top), so that a click remembered from before lands where it did.
TEST(Velmora, AWorkWindowShownAgainStartsFromItsLeftEdge) {
    AppFixture fixture;
    for (QWidget* window : {static_cast<QWidget*>(&fixture.app->frmAvvio()),
                            static_cast<QWidget*>(&fixture.app->frmArchivio_Indirizzi()),
                            static_cast<QWidget*>(&fixture.app->frmArchivio_Etichette())}) {
        SCOPED_TRACE(window->metaObject()->className());
        window->show();
        window->resize(640, 400);
        QCoreApplication::processEvents();
        auto* scroll = window->findChild<QScrollArea*>(QStringLiteral("scrSfondo"));
        ASSERT_NE(scroll, nullptr);
        scroll->horizontalScrollBar()->setValue(scroll->horizontalScrollBar()->maximum());
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
        ASSERT_GT(scroll->horizontalScrollBar()->value(), 0);
        window->hide();
        window->show();
        QCoreApplication::processEvents();
        EXPECT_EQ(scroll->horizontalScrollBar()->value(), 0);
        EXPECT_EQ(scroll->verticalScrollBar()->value(), 0);
        window->hide();
    }
}

}  // namespace
