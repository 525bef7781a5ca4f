#include "core/archive/AttachmentName.h"

#include "core/archive/ShortText.h"

#include <gtest/gtest.h>

namespace {

// The name a chosen document is copied under is the name a field keeps:
// stored and read back it is the same, so the record names the copy.
TEST(AttachmentName, IsTheChosenNameAsTheRecordKeepsIt) {
    struct Case {
        QString chosen;
        QString name;
    };
    const QString x = QStringLiteral("x");
    const Case cases[] = {
        {QStringLiteral("fattura 1.pdf"), QStringLiteral("fattura 1.pdf")},
        {QStringLiteral("  nota.txt \t"), QStringLiteral("nota.txt")},
        {QStringLiteral("Città € – perché.pdf"), QStringLiteral("Città € – perché.pdf")},
        // A best-fit letter where the code page has one, "_" where it has none.
        {QStringLiteral("Łódź_日本.txt"), QStringLiteral("Lódz___.txt")},
        {QStringLiteral("Umowa Łódź żółw.txt"), QStringLiteral("Umowa Lódz zólw.txt")},
        {QStringLiteral("Ātrs.odt"), QStringLiteral("Atrs.odt")},
        {QString::fromUcs4(U"\U0001F600.png"), QStringLiteral("__.png")},
        // What a Windows file name cannot hold.
        {QStringLiteral("a\\b/c:d*e?f\"g<h>i|j.txt"), QStringLiteral("a_b_c_d_e_f_g_h_i_j.txt")},
        {QStringLiteral("riga\nnuova\x01.txt"), QStringLiteral("riga_nuova_.txt")},
        // Longer than a field: cut before the extension, which stays.
        {x.repeated(250) + QStringLiteral(".pdf"), x.repeated(246) + QStringLiteral(".pdf")},
        {QStringLiteral("ä").repeated(252) + QStringLiteral(".txt"), QStringLiteral("ä").repeated(246) + QStringLiteral(".txt")},
        {QStringLiteral("日").repeated(300) + QStringLiteral(".txt"), QStringLiteral("_").repeated(246) + QStringLiteral(".txt")},
        {x.repeated(251), x.repeated(250)},
        // No extension: a name that starts with its only dot, or one whose
        // last dot leaves no room before it.
        {QStringLiteral(".") + x.repeated(300), QStringLiteral(".") + x.repeated(249)},
        {QStringLiteral("a.") + x.repeated(300), QStringLiteral("a.") + x.repeated(248)},
        // A cut that ends in blanks, which a field would drop.
        {x.repeated(248) + QStringLiteral("  yyyy"), x.repeated(248)},
        {QStringLiteral(" \t "), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen.toStdString());
        const QString name = AttachmentName(c.chosen);
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(DecodeShortText(EncodeShortText(name)), name);
    }
}

// What the user is told of a name: each letter changed once, with what the
// name holds in its place.
TEST(AttachmentName, TellsTheLettersItChanged) {
    EXPECT_EQ(AttachmentNameChanges(QStringLiteral("Umowa Łódź żółw.txt")), QStringLiteral("Ł → L, ź → z, ż → z, ł → l"));
    EXPECT_EQ(AttachmentNameChanges(QStringLiteral("a:b 日?.txt")), QStringLiteral(": → _, 日 → _, ? → _"));
    EXPECT_EQ(AttachmentNameChanges(QStringLiteral("perche\u0300 Città.pdf")), QString());
}

}  // namespace
