// Every dialog and the login window on a common screen at twice the size
// (run once for 1366 x 768 and once for 1920 x 1080, QT_SCALE_FACTOR=2): the
// window lies within the screen's available area and every button is on the
// screen or within reach of the window's scroll bars.
#include "windows/app/Velmora.h"
#include "windows/access/CambiaPassword.h"
#include "windows/access/Password.h"
#include "windows/archive/AllegaCartella.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "windows/archive/ExpIndirizzi.h"
#include "windows/archive/ImportaIndirizzi.h"
#include "windows/archive/StampaBusta.h"
#include "windows/archive/TrovaIndirizzi.h"
#include "windows/sheets/Anteprima_Etichetta.h"
#include "windows/sheets/Anteprima_Etichette.h"
#include "windows/sheets/Calibrazione.h"
#include "windows/sheets/Stampa_Etichette.h"
#include "windows/shell/Guida.h"
#include "windows/shell/Info.h"
#include "windows/shell/Splash.h"
#include "report_ui/PrintDialog.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QStyle>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace testing_support;

namespace {

std::string S(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString();
}

QRect Global(const QWidget& widget) { return QRect(widget.mapToGlobal(QPoint(0, 0)), widget.size()); }

// The scroll area of `window` that holds `control`, if any.
const QScrollArea* ScrollOf(const QWidget& window, const QWidget& control) {
    for (const QScrollArea* area : window.findChildren<QScrollArea*>())
        if (area->widget() && area->widget()->isAncestorOf(&control)) return area;
    return nullptr;
}

// Where the user can reach `control` of `window` on `screen`: shown as it
// stands, or by scrolling its scroll area, itself on the screen.
void ExpectReachable(const QWidget& window, const QWidget& control, const QRect& screen) {
    const std::string name = control.objectName().isEmpty() ? control.metaObject()->className()
                                                            : control.objectName().toStdString();
    if (const QScrollArea* area = ScrollOf(window, control)) {
        EXPECT_TRUE(screen.contains(Global(*area->viewport())))
            << name << ": scroll area at " << S(Global(*area->viewport())) << " off " << S(screen);
        const QRect inContent(control.mapTo(area->widget(), QPoint(0, 0)), control.size());
        EXPECT_TRUE(area->widget()->rect().contains(inContent))
            << name << " at " << S(inContent) << " beyond its scroll area's " << S(area->widget()->rect());
        EXPECT_TRUE(area->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff) << name;
        return;
    }
    EXPECT_TRUE(screen.contains(Global(control))) << name << " at " << S(Global(control)) << " off " << S(screen);
}

// A dialog made for the test, or one of the application's long-lived windows.
struct Case {
    const char* name;
    std::function<std::unique_ptr<QWidget>(Velmora&, QWidget* owner)> make;
    std::function<QWidget*(Velmora&)> longLived;
};

template <class Dialog>
Case Make(const char* name) {
    return {name, [](Velmora& app, QWidget* owner) { return std::make_unique<Dialog>(app, owner); }, {}};
}

TEST(DialogsFit, EveryButtonIsOnTheScreenOrWithinReachOfAScrollBar) {
    AppFixture fixture;
    Velmora& app = *fixture.app;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // The screen the run was given, in the scale factor's pixels.
    const QByteArray given = qgetenv("VELMORA_SCREEN");
    if (!given.isEmpty()) {
        const QList<QByteArray> size = given.split('x');
        ASSERT_EQ(size.size(), 2);
        const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
        EXPECT_EQ(QGuiApplication::primaryScreen()->geometry().size(),
                  QSize(qRound(size[0].toInt() / scale), qRound(size[1].toInt() / scale)));
    }
    TfrmArchivio_Indirizzi& owner = app.frmArchivio_Indirizzi();
    owner.Present();

    const Case cases[] = {
        {"Password", {}, [](Velmora& a) -> QWidget* { return &a.frmPassword(); }},
        {"CambiaPassword", {}, [](Velmora& a) -> QWidget* { return &a.frmCambiaPassword(); }},
        Make<TfrmAllegaCartella>("AllegaCartella"),
        Make<TfrmTrovaIndirizzi>("TrovaIndirizzi"),
        Make<TfrmImportaIndirizzi>("ImportaIndirizzi"),
        Make<TfrmExpIndirizzi>("ExpIndirizzi"),
        Make<TfrmStampaBusta>("StampaBusta"),
        Make<TfrmStampa_Etichette>("Stampa_Etichette"),
        Make<TfrmAnteprima_Etichette>("Anteprima_Etichette"),
        Make<TfrmAnteprima_Etichetta>("Anteprima_Etichetta"),
        {"Calibrazione", [](Velmora& a, QWidget* o) { return std::make_unique<TfrmCalibrazione>(a.Folder(), o); }, {}},
        {"Guida", [](Velmora& a, QWidget* o) { return std::make_unique<TfrmGuida>(a.Folder(), o); }, {}},
        {"Info", [](Velmora&, QWidget* o) { return std::make_unique<TfrmInfo>(o); }, {}},
        {"Splash", [](Velmora&, QWidget* o) { return std::make_unique<TfrmSplash>(o); }, {}},
        {"PrintDialog", [](Velmora&, QWidget* o) { return std::make_unique<report::TfrmPrintDialog>(o, report::TrepPrintOptions{}, 1, 3); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::unique_ptr<QWidget> made = c.make ? c.make(app, &owner) : nullptr;
        QWidget* window = made ? made.get() : c.longLived(app);
        window->show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(screen.contains(window->frameGeometry()))
            << "window at " << S(window->frameGeometry()) << " off " << S(screen);
        int controls = 0;
        for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            if (!button->isVisibleTo(window)) continue;
            ExpectReachable(*window, *button, screen);
            ++controls;
        }
        for (const ui::PictureButton* button : window->findChildren<ui::PictureButton*>()) {
            if (!button->isVisibleTo(window)) continue;
            ExpectReachable(*window, *button, screen);
            ++controls;
        }
        EXPECT_GT(controls, 0);
        window->hide();
    }
}

// A message's icon is drawn for the screen's own pixels: as many as the scale
// asks for, so it is never a small bitmap enlarged.
TEST(DialogsFit, MessageIconsAreDrawnForTheScreensPixels) {
    EnsureApplication();
    for (const ui::Kind kind : {ui::Kind::Warning, ui::Kind::Error, ui::Kind::Information, ui::Kind::Confirmation}) {
        ModalScript script;
        script.Then([](QDialog& dialog) {
            auto& box = dynamic_cast<QMessageBox&>(dialog);
            EXPECT_NE(box.icon(), QMessageBox::NoIcon);
            const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label"));
            ASSERT_NE(label, nullptr);
            const QPixmap icon = label->pixmap();
            const int side = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
            EXPECT_EQ(icon.devicePixelRatio(), box.devicePixelRatioF());
            EXPECT_EQ(icon.size(), QSize(side, side) * box.devicePixelRatioF());
            // Drawn: the centre of each picture holds colour.
            EXPECT_GT(icon.toImage().pixelColor(icon.width() / 2, icon.height() * 3 / 4).alpha(), 0);
            box.reject();
        });
        ui::ShowMessage(nullptr, QStringLiteral("Prova"), kind, ui::Buttons::OkCancel);
    }
}

}  // namespace
