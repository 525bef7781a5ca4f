#include "core/archive/ShortText.h"

#include "support/WindowsBestFit.h"

#include <gtest/gtest.h>

namespace {

QByteArray Stored(const ShortText250& field) {
    return QByteArray(reinterpret_cast<const char*>(field.bytes.data() + 1), field.bytes[0]);
}

TEST(ShortText, EncodesTrimmedAndCut) {
    struct Case {
        QString typed;
        QByteArray stored;
        QString readBack;
    };
    const QString long300 = QString(300, QLatin1Char('x'));
    const Case cases[] = {
        {QStringLiteral("  Via Roma 1\t "), "Via Roma 1", QStringLiteral("Via Roma 1")},
        {QStringLiteral("   "), "", QString()},
        {QStringLiteral("\x01 a  b \x1f"), "a  b", QStringLiteral("a  b")},
        {long300, QByteArray(250, 'x'), QString(250, QLatin1Char('x'))},
        {QStringLiteral("Città €"), "Citt\xe0 \x80", QStringLiteral("Città €")},
        {QStringLiteral("中"), "?", QStringLiteral("?")},
        {QStringLiteral("Ātrs"), "Atrs", QStringLiteral("Atrs")},
        // One byte for each UTF-16 unit, as Windows writes them.
        {QString::fromUcs4(U"\U0001F600x"), "??x", QStringLiteral("??x")},
        {QStringLiteral("Łukasz"), "Lukasz", QStringLiteral("Lukasz")},
        // Composed first: the code page's own letter.
        {QStringLiteral(" e\u0301 "), "\xe9", QStringLiteral("é")},
        {QString(249, u'x') + QStringLiteral("e\u0301z"), QByteArray(249, 'x') + "\xe9", QString(249, u'x') + u'é'},
    };
    for (const Case& c : cases) {
        const ShortText250 field = EncodeShortText(c.typed);
        EXPECT_EQ(Stored(field), c.stored) << c.typed.toStdString();
        EXPECT_EQ(DecodeShortText(field), c.readBack) << c.typed.toStdString();
    }
}

// What a box that feeds the archive shows of what is typed: exactly what the
// field will read back, and the letters it changed with what stands in their
// place.
TEST(ShortText, ArchivableTextIsWhatTheFieldReadsBack) {
    struct Case {
        QString typed;
        QString kept;
        QString changes;
    };
    const Case cases[] = {
        {QStringLiteral("Città € ß ÿ Ÿ"), QStringLiteral("Città € ß ÿ Ÿ"), QString()},
        {QStringLiteral("Łukasz Wójcik"), QStringLiteral("Lukasz Wójcik"), QStringLiteral("Ł → L")},
        {QStringLiteral("ż ś ć ń ę ą ż"), QStringLiteral("z s c n e a z"),
         QStringLiteral("ż → z, ś → s, ć → c, ń → n, ę → e, ą → a")},
        {QStringLiteral("Łódź Ω Ж"), QStringLiteral("Lódz O ?"), QStringLiteral("Ł → L, ź → z, Ω → O, Ж → ?")},
        {QStringLiteral("e\u0301 a\u0308 n\u0303"), QStringLiteral("é ä ñ"), QString()},
        {QStringLiteral("ﬁ ‐ − ′"), QStringLiteral("? - - '"), QStringLiteral("ﬁ → ?, ‐ → -, − → -, ′ → '")},
        {QStringLiteral("a?b中"), QStringLiteral("a?b?"), QStringLiteral("中 → ?")},
        {QString::fromUcs4(U"x\U0001F600y"), QStringLiteral("x??y"), QString::fromUcs4(U"\U0001F600 → ??")},
        {QString(), QString(), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        const QString kept = ArchivableText(c.typed);
        EXPECT_EQ(kept, c.kept);
        EXPECT_EQ(ChangedLetters(c.typed), c.changes);
        EXPECT_EQ(DecodeShortText(EncodeShortText(c.typed)), kept.trimmed());
        const StoredText stored = ToStoredText(c.typed);
        EXPECT_EQ(stored.bytes, ToCodePage(kept));
        EXPECT_EQ(stored.changes, c.changes);
    }
}

// Every UTF-16 unit converts as Windows converts it, judged by Wine: its
// byte, its best fit, or "?".
TEST(ShortText, EveryUnitConvertsAsWindowsDoes) {
    QStringList units;
    for (char32_t u = 1; u <= 0xFFFF; ++u)
        if (u != u'\n' && (u < 0xD800 || u > 0xDFFF)) units << QString(QChar(char16_t(u)));
    QString skipped;
    const std::vector<QByteArray> windows = testing_support::WindowsBestFit(units, skipped);
    if (!skipped.isEmpty()) GTEST_SKIP() << skipped.toStdString();
    ASSERT_EQ(windows.size(), static_cast<std::size_t>(units.size()));
    int differ = 0;
    for (qsizetype i = 0; i < units.size(); ++i) {
        const QByteArray ours = ToCodePage(units[i]);
        if (ours != windows[std::size_t(i)] && ++differ <= 20)
            ADD_FAILURE() << "U+" << QByteArray::number(units[i][0].unicode(), 16).toStdString() << ": ours "
                          << ours.toHex().toStdString() << ", Windows " << windows[std::size_t(i)].toHex().toStdString();
    }
    EXPECT_EQ(differ, 0);
}

TEST(ShortText, DecodesEveryByteOfTheCodePage) {
    ShortText250 field;
    field.bytes[0] = 250;
    for (int i = 1; i <= 250; ++i) field.bytes[i] = static_cast<std::uint8_t>(i + 5);
    const QString text = FromCodePage(reinterpret_cast<const char*>(field.bytes.data() + 1), 250);
    EXPECT_EQ(ToCodePage(text), QByteArray(reinterpret_cast<const char*>(field.bytes.data() + 1), 250));
    // The unassigned bytes read as the C1 controls of the same value.
    EXPECT_EQ(FromCodePage("\x81\x8d\x8f\x90\x9d", 5), QString::fromUtf16(u"\u0081\u008d\u008f\u0090\u009d"));
}

TEST(ShortText, DamagedLengthByteStaysInsideTheField) {
    ShortText250 field;
    field.bytes.fill('A');
    field.bytes[0] = 255;
    EXPECT_EQ(DecodeShortText(field), QString(250, QLatin1Char('A')));
}

}  // namespace
