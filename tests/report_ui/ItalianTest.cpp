#include "support/FakePrinters.h"
#include "support/Templates.h"

#include "report_ui/Preview.h"
#include "report_ui/Print.h"
#include "report_ui/PrintDialog.h"
#include "report_ui/ShowReport.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace report_tests {
namespace {

using testing_support::ModalScript;

// The English words a user could meet on the print path: every word of the
// report windows' texts as written that no Italian text of theirs uses, and
// the words of Qt's own file dialog.
QSet<QString> EnglishWords() {
    QFile file(QStringLiteral(VELMORA_REPORT_TS));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << VELMORA_REPORT_TS;
    QXmlStreamReader xml(&file);
    QStringList sources, translations;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("source")) sources << xml.readElementText();
        if (xml.name() == QLatin1String("translation")) translations << xml.readElementText();
    }
    EXPECT_GT(sources.size(), 40);
    const QRegularExpression nonLetters(QStringLiteral("[^\\p{L}]+"));
    const auto words = [&](const QStringList& texts) {
        QSet<QString> set;
        for (const QString& text : texts)
            for (const QString& word : text.toLower().split(nonLetters, Qt::SkipEmptyParts)) set << word;
        return set;
    };
    QSet<QString> english = words(sources) - words(translations);
    english += words({"Look in:", "File name:", "Files of type:", "Save", "Cancel", "Back", "Forward",
                      "Parent Directory", "Create New Folder", "List View", "Detail View", "Size", "Date Modified",
                      "Recent Places"});
    // Words both languages write.
    english -= words({"in", "file", "computer"});
    return english;
}

// Every text a window shows or gives a screen reader: captions, labels,
// buttons, groups, lists, tools, tooltips, accessible names, column headers.
QStringList ShownTexts(QWidget& window) {
    QStringList texts{window.windowTitle()};
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets << &window;
    for (QWidget* w : widgets) {
        texts << w->toolTip() << w->accessibleName();
        for (const QAction* action : w->actions()) texts << action->text() << action->toolTip();
        if (auto* label = qobject_cast<QLabel*>(w)) texts << label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w)) texts << button->text();
        if (auto* group = qobject_cast<QGroupBox*>(w)) texts << group->title();
        if (auto* edit = qobject_cast<QLineEdit*>(w)) texts << edit->placeholderText();
        if (auto* list = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
        if (auto* header = qobject_cast<QHeaderView*>(w); header && header->model())
            for (int i = 0; i < header->count(); ++i)
                texts << header->model()->headerData(i, header->orientation()).toString();
    }
    return texts;
}

// The English words among a window's texts, each with the text it is in.
QStringList EnglishIn(QWidget& window) {
    static const QSet<QString> english = EnglishWords();
    const QRegularExpression nonLetters(QStringLiteral("[^\\p{L}]+"));
    QStringList found;
    for (const QString& text : ShownTexts(window))
        for (const QString& word : text.toLower().split(nonLetters, Qt::SkipEmptyParts))
            if (english.contains(word)) found << word + QStringLiteral(" in \"") + text + u'"';
    found.removeDuplicates();
    return found;
}

// Under a system locale with no language at all (C.UTF-8, as the tests run),
// the preview, the print dialog, the printer's settings and the print-to-file
// dialog show no English word, walked control by control.
TEST(PrintPathInItalian, NoEnglishWordOnAnyWindowOfThePrintPath) {
    testing_support::EnsureApplication();
    ASSERT_EQ(QLocale::system().language(), QLocale::C);
    UseFakePrinters fake{{"Ufficio"}, "Ufficio"};
    fake.printers->ports[QStringLiteral("Ufficio")] = QStringLiteral("Secondo piano");
    // The driver's own texts are the driver's: this one speaks Italian.
    fake.printers->options[QStringLiteral("Ufficio")] = {
        {"Resolution", QStringLiteral("Risoluzione"), {{"300dpi", QStringLiteral("300 dpi")}}, "300dpi"}};
    auto report = Summary(10);
    report->ReportOptions.Name.clear();
    report->PreviewOptions.Buttons = pbPrint | pbZoom | pbFullScreen | pbClose;
    testing_support::TempFolder folder;
    ModalScript script;
    QStringList walked;
    const auto walk = [&](QDialog& dialog) {
        walked << dialog.windowTitle();
        EXPECT_EQ(EnglishIn(dialog).join(u'\n').toStdString(), "") << dialog.windowTitle().toStdString();
    };
    script.Then([&](QDialog& dialog) {
        walk(dialog);
        dynamic_cast<TfrmPreview&>(dialog).actPrint->trigger();
        dialog.reject();
    });
    script.Then([&](QDialog& dialog) {
        walk(dialog);
        auto& print = dynamic_cast<TfrmPrintDialog&>(dialog);
        print.btnProperties->click();
        print.chkPrintToFile->setChecked(true);
        print.btnOK->click();
    });
    script.Then([&](QDialog& dialog) {
        walk(dialog);
        dialog.reject();
    });
    script.Then([&](QDialog& dialog) {
        walk(dialog);
        dialog.reject();
    });
    fake.printers->first = nullptr;
    EXPECT_TRUE(ShowReport(*report, folder.Folder(), true, [](QWidget*, const PrintOutcome&) {}));
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(walked, QStringList({"Anteprima", "Stampa", "Proprietà", "Stampa su file"}));
}

}  // namespace
}  // namespace report_tests
