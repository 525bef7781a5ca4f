#include "core/folder/Formats.h"
#include "core/folder/TextRules.h"
#include "ui/Application.h"
#include "ui/Messages.h"
#include "ui/WindowFrame.h"
#include "support/TestSupport.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLocale>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>
#include <stdexcept>

using namespace testing_support;

namespace {

// Qt's file dialog speaks Italian, as the program does, on a system whose
// locale is C.UTF-8 (as minimal systems and containers run).
TEST(Application, QtsOwnDialogsSpeakItalianWhateverTheLocale) {
    ASSERT_EQ(QApplication::instance(), nullptr) << "this test must make the application";
    qputenv("LANG", "C.UTF-8");
    qputenv("LC_ALL", "C.UTF-8");
    EnsureApplication();
    QFileDialog dialog(nullptr, QStringLiteral("Sfoglia"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const auto* box = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(box, nullptr);
    QStringList texts;
    for (const QAbstractButton* button : box->buttons()) texts << button->text().remove(QLatin1Char('&'));
    EXPECT_EQ(texts, QStringList({"Apri", "Annulla"}));
}

TEST(TextRules, TrimAndAsciiCase) {
    EXPECT_EQ(TrimText(QStringLiteral("\t\x01 a b \r\n")), QStringLiteral("a b"));
    EXPECT_EQ(TrimText(QStringLiteral("\u00a0a\u00a0")), QStringLiteral("\u00a0a\u00a0"));
    EXPECT_EQ(UpperAscii(QStringLiteral("abz àé ß")), QStringLiteral("ABZ àé ß"));
    EXPECT_EQ(LowerAscii(QStringLiteral("ABZ ÀÉ")), QStringLiteral("abz ÀÉ"));
}

TEST(Formats, ShortDateUsesTheLocaleSeparator) {
    const QDate date(2024, 3, 5);
    struct Case {
        QLocale locale;
        const char* text;
    };
    for (const Case& c : {Case{QLocale(QLocale::Italian, QLocale::Italy), "05/03/2024"},
                          Case{QLocale(QLocale::German, QLocale::Germany), "05.03.2024"}}) {
        QLocale::setDefault(c.locale);
        EXPECT_EQ(formats::ShortDate(date), QString::fromLatin1(c.text));
    }
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    EXPECT_EQ(formats::LongTime(QTime(14, 5, 33)), QStringLiteral("14:05:33"));
    QLocale::setDefault(QLocale::c());
}

// A window manager that minimises a dialog anyway (openbox offers it, and
// takes the owner along): the dialog and its owner are shown again at once.
TEST(Dialog, IsNeverLeftMinimised) {
    EnsureApplication();
    QWidget owner;
    owner.show();
    ui::Dialog dialog(&owner, QStringLiteral(" Stampa"), QSize(200, 100), ui::Centre::Owner);
    dialog.show();
    QCoreApplication::processEvents();
    owner.setWindowState(Qt::WindowMinimized);
    dialog.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(dialog.isMinimized());
    QCoreApplication::processEvents();
    EXPECT_FALSE(dialog.isMinimized());
    EXPECT_FALSE(owner.isMinimized());
    EXPECT_TRUE(dialog.isVisible() && owner.isVisible());
}

TEST(Application, UncaughtErrorsReachTheGeneralErrorReport) {
    EnsureApplication();
    MessageLog log;
    QPushButton button;
    QObject::connect(&button, &QPushButton::clicked, [] { throw std::runtime_error("disco pieno"); });
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(log.Only(), QStringLiteral("disco pieno"));
    EXPECT_EQ(log.messages.back().kind, ui::Kind::Error);
}

}  // namespace
