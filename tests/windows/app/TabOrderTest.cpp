// The Tab cycle of every window whose order the program defines: from the
// first stop, Tab visits exactly the controls listed, in that order, and
// comes back to the first; nothing else (a scroll area, a frame, a hidden
// control) takes a stop of its own.
#include "windows/app/Velmora.h"
#include "windows/access/CambiaPassword.h"
#include "windows/access/Password.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "windows/archive/ImportaIndirizzi.h"
#include "windows/archive/TrovaIndirizzi.h"
#include "windows/sheets/Archivio_Etichette.h"
#include "windows/sheets/Calibrazione.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace testing_support;

namespace {

// The names of the controls Tab reaches from `first`, one a press, until it
// comes back to `first` (or gives up after `limit` presses).
QStringList TabCycle(QWidget& window, QWidget& first, int limit) {
    window.show();
    // A password typed: OK takes Tab only once it can be pressed.
    for (QLineEdit* box : window.findChildren<QLineEdit*>())
        if (box->echoMode() == QLineEdit::Password) box->setText(QStringLiteral("segreta"));
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    first.setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QStringList names{first.objectName()};
    for (int i = 0; i < limit; ++i) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus) break;
        QTest::keyClick(focus, Qt::Key_Tab);
        QCoreApplication::processEvents();
        focus = QApplication::focusWidget();
        if (focus == &first) return names;
        names << (focus ? (focus->objectName().isEmpty() ? QString::fromLatin1(focus->metaObject()->className())
                                                         : focus->objectName())
                        : QStringLiteral("(nessuno)"));
    }
    names << QStringLiteral("(il giro non torna al primo)");
    return names;
}

QStringList Numbered(const QString& stem, int from, int to) {
    QStringList names;
    for (int n = from; n <= to; ++n) names << stem.arg(n, 2, 10, QLatin1Char('0'));
    return names;
}

TEST(TabOrder, EveryWindowCyclesThroughItsControlsInTheirOrder) {
    AppFixture fixture;
    Velmora& app = *fixture.app;
    struct Case {
        const char* window;
        std::function<QWidget&()> open;
        QStringList order;
    };
    std::unique_ptr<QWidget> picker;
    const auto pickerOf = [&](auto* made) -> QWidget& {
        picker.reset(made);
        return *picker;
    };
    const Case cases[] = {
        {"TfrmPassword", [&]() -> QWidget& { return app.frmPassword(); },
         {"txtPassword", "cmdOK", "cmdEsci", "btnCambiaPassword"}},
        {"TfrmCambiaPassword", [&]() -> QWidget& { return app.frmCambiaPassword(); },
         {"txtPasswordOld", "txtPasswordNew", "txtConferma", "cmdEsci", "cmdOK"}},
        {"TfrmArchivio_Indirizzi", [&]() -> QWidget& { return app.frmArchivio_Indirizzi(); },
         QStringList{"txtNome", "txtTipo"} + Numbered(QStringLiteral("txtRigo%1"), 1, 6) + QStringList{"txtNote"}},
        {"TfrmTrovaIndirizzi",
         [&]() -> QWidget& { return pickerOf(new TfrmTrovaIndirizzi(app, &app.frmArchivio_Indirizzi())); },
         {"txtTrova", "lstRecords", "btnStampa", "btnTrova", "btnChiudi"}},
        {"TfrmImportaIndirizzi",
         [&]() -> QWidget& { return pickerOf(new TfrmImportaIndirizzi(app, &app.frmArchivio_Etichette())); },
         {"txtTrova", "lstRecords", "btnStampa", "btnTrova", "btnChiudi"}},
        {"TfrmArchivio_Etichette", [&]() -> QWidget& { return app.frmArchivio_Etichette(); },
         Numbered(QStringLiteral("txtNome_E%1"), 1, 24)},
        {"TfrmCalibrazione",
         [&]() -> QWidget& { return pickerOf(new TfrmCalibrazione(fixture.folder.Folder(), &app.frmArchivio_Etichette())); },
         {"cboStampante", "txtSpostamentoX", "txtSpostamentoY", "txtScalaX", "txtScalaY", "btnAnnulla", "btnProva",
          "btnSalva"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.window);
        QWidget& window = c.open();
        auto* first = window.findChild<QWidget*>(c.order.first());
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(TabCycle(window, *first, int(c.order.size()) + 3).join(u' ').toStdString(),
                  c.order.join(u' ').toStdString());
        window.hide();
    }
}

}  // namespace
