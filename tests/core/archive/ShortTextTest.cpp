#include "core/archive/ShortText.h"

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
        {QString::fromUcs4(U"\U0001F600x"), "?x", QStringLiteral("?x")},
    };
    for (const Case& c : cases) {
        const ShortText250 field = EncodeShortText(c.typed);
        EXPECT_EQ(Stored(field), c.stored) << c.typed.toStdString();
        EXPECT_EQ(DecodeShortText(field), c.readBack) << c.typed.toStdString();
    }
}

// What a box that feeds the archive keeps of what is typed: exactly what the
// field will read back, the letters with no place in the code page refused.
TEST(ShortText, ArchivableTextIsWhatTheFieldReadsBack) {
    struct Case {
        QString typed;
        QString kept;
        QString refused;
    };
    const Case cases[] = {
        {QStringLiteral("Città € ß ÿ Ÿ"), QStringLiteral("Città € ß ÿ Ÿ"), QString()},
        {QStringLiteral("Łódź Ω"), QStringLiteral("ódz "), QStringLiteral("ŁΩ")},
        {QStringLiteral("Ātrs ‐ č"), QStringLiteral("Atrs - c"), QString()},
        {QStringLiteral("a?b中"), QStringLiteral("a?b"), QStringLiteral("中")},
        {QString::fromUcs4(U"x\U0001F600y"), QStringLiteral("xy"), QString::fromUcs4(U"\U0001F600")},
        {QString(), QString(), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        QString refused;
        const QString kept = ArchivableText(c.typed, &refused);
        EXPECT_EQ(kept, c.kept);
        EXPECT_EQ(refused, c.refused);
        EXPECT_EQ(DecodeShortText(EncodeShortText(kept)), kept.trimmed());
        EXPECT_EQ(Stored(EncodeShortText(kept)).count('?'), c.typed.count(QLatin1Char('?')));
    }
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
