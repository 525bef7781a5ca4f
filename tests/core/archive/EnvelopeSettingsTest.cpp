#include "core/archive/EnvelopeSettings.h"

#include "core/folder/IniFile.h"
#include "support/TempFolder.h"

#include <QDir>

#include <gtest/gtest.h>

#include <optional>

using testing_support::TempFolder;
using namespace envelope_settings;

namespace {

const QString kIni = QStringLiteral("Impostazioni.ini");

TEST(EnvelopeSettings, ReadGivesTheDefaultsForWhatIsMissingAndTheOrientationOnlyWhenExact) {
    struct Case {
        const char* file;  // nullptr: no file
        const char* top;
        const char* left;
        bool landscape;
    };
    const Case cases[] = {
        {nullptr, "0", "0", false},
        {"", "0", "0", false},
        {"[Margini Busta]\r\nSuperiore=10\r\nSinistro=-5\r\n[Stampa Busta]\r\nOrientamento=Orizzontale\r\n", "10", "-5",
         true},
        {"[Stampa Busta]\nOrientamento= Orizzontale \n", "0", "0", true},
        {"[Stampa Busta]\nOrientamento=\vOrizzontale\v\n", "0", "0", true},
        {"[Stampa Busta]\nOrientamento=orizzontale\n", "0", "0", false},
        {"[Stampa Busta]\nOrientamento=ORIZZONTALE\n", "0", "0", false},
        {"[Stampa Busta]\nOrientamento=Verticale\n", "0", "0", false},
        {"[Stampa Busta]\nOrientamento=Orizzontale ma no\n", "0", "0", false},
        {"[Margini Busta]\nSuperiore=\nSinistro=   \n", "0", "0", false},
        {"[Margini Busta]\nSuperiore=abc\nSinistro=2,5\n", "abc", "2,5", false},
        // The keys under another section do not count.
        {"[Altro]\nSuperiore=7\nOrientamento=Orizzontale\n", "0", "0", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "(no file)");
        TempFolder folder;
        if (c.file) folder.Write(kIni, c.file);
        const Settings settings = Read(folder.Folder());
        EXPECT_EQ(settings.top.toStdString(), c.top);
        EXPECT_EQ(settings.left.toStdString(), c.left);
        EXPECT_EQ(settings.landscape, c.landscape);
        EXPECT_EQ(QFile::exists(folder.File(kIni)), c.file != nullptr) << "reading never creates the file";
    }
}

TEST(EnvelopeSettings, ReadingAFileThatCannotBeReadFails) {
    TempFolder folder;
    ASSERT_TRUE(QDir(folder.Path()).mkdir(kIni));
    EXPECT_THROW(Read(folder.Folder()), IniError);
}

QStringList LinesOf(const QByteArray& bytes) {
    QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\n"));
    for (QString& line : lines) line = line.trimmed();
    lines.removeAll(QString());
    return lines;
}

TEST(EnvelopeSettings, ANewFileHoldsTheMarginsThenTheOrientation) {
    TempFolder folder;
    WriteTop(folder.Folder(), QStringLiteral(" -3 "), false);
    WriteLeft(folder.Folder(), QStringLiteral("12"), false);
    EXPECT_EQ(LinesOf(folder.Read(kIni)),
              QStringList({"[Margini Busta]", "Superiore=-3", "Sinistro=12", "[Stampa Busta]", "Orientamento=Verticale"}));

    WriteTop(folder.Folder(), QStringLiteral("4"), true);
    EXPECT_EQ(LinesOf(folder.Read(kIni)),
              QStringList({"[Margini Busta]", "Superiore=4", "Sinistro=12", "[Stampa Busta]", "Orientamento=Orizzontale"}));
    const Settings back = Read(folder.Folder());
    EXPECT_EQ(back.top, QStringLiteral("4"));
    EXPECT_EQ(back.left, QStringLiteral("12"));
    EXPECT_TRUE(back.landscape);
}

TEST(EnvelopeSettings, WritingChangesOnlyItsOwnLines) {
    TempFolder folder;
    const QByteArray before =
        "; impostazioni della busta\n[Stampa Busta]\norientamento = orizzontale\n\n[margini busta]\n"
        "Superiore=1\n; nota\nSinistro=2\n\n[Altro]\nchiave=valore\n";
    folder.Write(kIni, before);
    WriteTop(folder.Folder(), QStringLiteral("10"), false);
    WriteLeft(folder.Folder(), QStringLiteral("-5"), false);
    EXPECT_EQ(folder.Read(kIni),
              QByteArray("; impostazioni della busta\n[Stampa Busta]\nOrientamento=Verticale\n\n[margini busta]\n"
                         "Superiore=10\n; nota\nSinistro=-5\n\n[Altro]\nchiave=valore\n"));
}

TEST(EnvelopeSettings, MarginsAreDecimalNumbersWithACommaBeforeTheDecimals) {
    struct Case {
        const char* text;
        std::optional<double> mm;
    };
    const Case cases[] = {
        {"0", 0.0},     {"-3", -3.0},     {" 12 ", 12.0},     {"+4", 4.0},   {"2,5", 2.5},   {"-0,25", -0.25},
        {",5", 0.5},    {"5,", 5.0},      {"2.5", std::nullopt}, {"abc", std::nullopt}, {"", std::nullopt},
        {"1e3", std::nullopt}, {"--1", std::nullopt}, {"1 2", std::nullopt}, {",", std::nullopt},
        {"0x10", std::nullopt}, {"inf", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(MarginMm(QString::fromLatin1(c.text)), c.mm);
    }
    // A number too large for a double is no number either.
    EXPECT_EQ(MarginMm(QString(400, QLatin1Char('9'))), std::nullopt);
}

TEST(EnvelopeSettings, StepsMoveAWholeNumberByOneWithoutLimits) {
    struct Case {
        const char* text;
        int step;
        std::optional<QString> result;
    };
    const Case cases[] = {
        {"0", -1, QStringLiteral("-1")},
        {"-1", +1, QStringLiteral("0")},
        {"-3", -1, QStringLiteral("-4")},
        {"15", +1, QStringLiteral("16")},
        {"007", +1, QStringLiteral("8")},
        {" 7 ", -1, QStringLiteral("6")},
        {"+4", -1, QStringLiteral("3")},
        {"2147483647", +1, QStringLiteral("2147483648")},
        {"-2147483648", -1, QStringLiteral("-2147483649")},
        {"2,5", +1, std::nullopt},
        {"abc", -1, std::nullopt},
        {"", +1, std::nullopt},
        {"99999999999", +1, QStringLiteral("100000000000")},
        {"9223372036854775807", +1, std::nullopt},
        {"-9223372036854775808", -1, std::nullopt},
        {"99999999999999999999", -1, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(StepMargin(QString::fromLatin1(c.text), c.step), c.result);
    }
    EXPECT_EQ(NotAWholeNumber(QStringLiteral("abc")), QStringLiteral("'abc' is not a valid integer value"));
}

}  // namespace
