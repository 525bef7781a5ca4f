#include "core/access/Crypt.h"
#include "core/access/PasswordFile.h"
#include "core/folder/IniFile.h"
#include "support/Children.h"
#include "support/TempFolder.h"
#ifndef _WIN32
#include "support/WriteFailure.h"
#endif

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>
#ifndef _WIN32
#include <sys/resource.h>
#endif

using testing_support::TempFolder;

namespace {

// Vectors worked out by hand from the cipher's definition (start key 2391,
// key := ((b + key) * 30517 + 24863) mod 65536 with the enciphered byte b).
struct CipherCase {
    const char* name;
    QString plain;
    QString hex;
};

class Cipher : public testing::TestWithParam<CipherCase> {};

TEST_P(Cipher, EnciphersToUpperCaseHexAndBack) {
    const CipherCase& c = GetParam();
    EXPECT_EQ(EncryptPassword(c.plain), c.hex);
    EXPECT_EQ(DecryptPassword(c.hex), c.plain);
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, Cipher,
    testing::Values(CipherCase{"Empty", QString(), QString()},
                    CipherCase{"OneLetter", QStringLiteral("A"), QStringLiteral("48")},
                    // The key advances after every character: the same
                    // letter gives a different byte in second place.
                    CipherCase{"SameLetterTwice", QStringLiteral("AA"), QStringLiteral("4809")},
                    CipherCase{"FirstAccess", QStringLiteral("RICONOSCIMENTO"),
                               QStringLiteral("5B699B650C6B69E3A7D0F4E080CD")},
                    CipherCase{"BlankAndSigns", QStringLiteral("Velmora 2024!"),
                               QStringLiteral("5F989334456C5C2A185BE6A707")},
                    CipherCase{"Latin1", QStringLiteral("\u00e0\u00ff"), QStringLiteral("E9BF")}),
    [](const testing::TestParamInfo<CipherCase>& info) { return info.param.name; });

struct DecryptCase {
    const char* name;
    QString hex;
    QString plain;
};

class Decrypt : public testing::TestWithParam<DecryptCase> {};

TEST_P(Decrypt, ReadsWholePairsInEitherCase) { EXPECT_EQ(DecryptPassword(GetParam().hex), GetParam().plain); }

INSTANTIATE_TEST_SUITE_P(
    StoredValues, Decrypt,
    testing::Values(DecryptCase{"LowerCaseDigits", QStringLiteral("5b699b650c6b69e3a7d0f4e080cd"),
                                QStringLiteral("RICONOSCIMENTO")},
                    DecryptCase{"MixedCaseDigits", QStringLiteral("5B699b650C6b69E3a7D0f4E080cD"),
                                QStringLiteral("RICONOSCIMENTO")},
                    DecryptCase{"OddLengthIgnoresLastDigit", QStringLiteral("48097"), QStringLiteral("AA")},
                    DecryptCase{"SingleDigit", QStringLiteral("4"), QString()}),
    [](const testing::TestParamInfo<DecryptCase>& info) { return info.param.name; });

class BadPair : public testing::TestWithParam<const char*> {};

TEST_P(BadPair, RaisesAnError) { EXPECT_THROW(DecryptPassword(QString::fromLatin1(GetParam())), CryptError); }

INSTANTIATE_TEST_SUITE_P(StoredValues, BadPair,
                         testing::Values("4G", "48ZZ", "48 9", "+1", "0x", "48097G"));

TEST(Cipher, LongPasswordIsEncipheredInFull) {
    QString text;
    for (int i = 0; i < 300; ++i) text += QChar(char16_t(u'A' + i % 26));
    const QString hex = EncryptPassword(text);
    ASSERT_EQ(hex.size(), 600);
    for (QChar c : hex) EXPECT_TRUE(c.isDigit() || (c >= u'A' && c <= u'F')) << c.toLatin1();
    EXPECT_EQ(DecryptPassword(hex), text);
}

TEST(Cipher, EveryByteRoundTrips) {
    QString text;
    for (int code = 0; code < 256; ++code) text += QChar(char16_t(code));
    EXPECT_EQ(DecryptPassword(EncryptPassword(text)), text);
}

TEST(Cipher, CharactersAboveLatin1LoseTheirHighByte) {
    // U+0141 keeps only 0x41 and comes back as "A": such a password could
    // never match again, which is why the change of password refuses it.
    EXPECT_EQ(DecryptPassword(EncryptPassword(QStringLiteral("\u0141"))), QStringLiteral("A"));
    EXPECT_FALSE(IsStorablePassword(QStringLiteral("pass\u0141")));
    EXPECT_FALSE(IsStorablePassword(QStringLiteral("\u20ac")));
    EXPECT_TRUE(IsStorablePassword(QStringLiteral("caff\u00e8 \u00ff!")));
}

struct NormalizeCase {
    QString typed;
    QString stored;
};

class Normalize : public testing::TestWithParam<NormalizeCase> {};

TEST_P(Normalize, GivesTheStoredForm) { EXPECT_EQ(NormalizePassword(GetParam().typed), GetParam().stored); }

INSTANTIATE_TEST_SUITE_P(
    Typed, Normalize,
    testing::Values(NormalizeCase{QStringLiteral("riconoscimento"), QStringLiteral("RICONOSCIMENTO")},
                    NormalizeCase{QStringLiteral(" \t RiCoNoScImEnTo  \r\n"), QStringLiteral("RICONOSCIMENTO")},
                    NormalizeCase{QStringLiteral(" due parole "), QStringLiteral("DUE PAROLE")},
                    NormalizeCase{QStringLiteral("caff\u00e8 \u00e0"), QStringLiteral("CAFF\u00e8 \u00e0")},
                    NormalizeCase{QStringLiteral("   "), QString()}));

// --- The INI layer -------------------------------------------------------

class Ini : public testing::Test {
protected:
    TempFolder folder;
    QString Path() const { return folder.File(QStringLiteral("prova.ini")); }
    QString Read(const char* section, const char* key) const {
        return IniFile(Path()).ReadString(QString::fromLatin1(section), QString::fromLatin1(key),
                                          QStringLiteral("<nessuno>"));
    }
    void Write(const char* section, const char* key, const char* value) {
        IniFile(Path()).WriteString(QString::fromLatin1(section), QString::fromLatin1(key),
                                    QString::fromLatin1(value));
    }
};

TEST_F(Ini, MissingFileSectionOrKeyGivesTheFallback) {
    EXPECT_EQ(Read("Accesso", "Valore"), QStringLiteral("<nessuno>"));
    folder.Write(QStringLiteral("prova.ini"), "Valore=fuori\r\n[Altro]\r\nValore=1\r\n[Accesso]\r\nChiave=2\r\n");
    EXPECT_EQ(Read("Manca", "Valore"), QStringLiteral("<nessuno>"));
    EXPECT_EQ(Read("Accesso", "Valore"), QStringLiteral("<nessuno>"));
}

TEST_F(Ini, FindsSectionsAndKeysInAnyCase) {
    folder.Write(QStringLiteral("prova.ini"),
                 "; nota\n[altro]\nvalore=no\n  [ ACCESSO ]  \n\tvAlOrE =  4809  \nvuota=\ncitata=\"a b\"\n");
    EXPECT_EQ(Read("Accesso", "Valore"), QStringLiteral("4809"));
    EXPECT_EQ(Read("accesso", "VALORE"), QStringLiteral("4809"));
    EXPECT_EQ(Read("Altro", "Valore"), QStringLiteral("no"));
    EXPECT_EQ(Read("Accesso", "Vuota"), QString());
    EXPECT_EQ(Read("Accesso", "Citata"), QStringLiteral("a b"));
}

struct WriteCase {
    const char* name;
    QByteArray before;
    QByteArray after;
};

class IniWrite : public Ini, public testing::WithParamInterface<WriteCase> {};

TEST_P(IniWrite, ChangesOneLineAndKeepsTheRest) {
    if (!GetParam().before.isNull()) folder.Write(QStringLiteral("prova.ini"), GetParam().before);
    Write("Accesso", "Valore", "AB12");
    EXPECT_EQ(folder.Read(QStringLiteral("prova.ini")), GetParam().after);
    EXPECT_EQ(Read("Accesso", "Valore"), QStringLiteral("AB12"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniWrite,
    testing::Values(
        WriteCase{"CreatesTheFile", QByteArray(), "[Accesso]\r\nValore=AB12\r\n"},
        WriteCase{"ReplacesTheKeyOnly",
                  "; la password\r\n[Margini]\r\nValore=3\r\n\r\n[accesso]\r\n  VALORE = 48 \r\nAltro=x  y\r\n"
                  "[Fine]\nValore=z",
                  "; la password\r\n[Margini]\r\nValore=3\r\n\r\n[accesso]\r\nValore=AB12\r\nAltro=x  y\r\n"
                  "[Fine]\nValore=z"},
        WriteCase{"AddsTheKeyAfterTheSectionsLastLine",
                  "[Accesso]\nAltro=1\n\n[Margini]\nSopra=2\n",
                  "[Accesso]\nAltro=1\nValore=AB12\n\n[Margini]\nSopra=2\n"},
        WriteCase{"AddsTheSectionAtTheEnd", "[Margini]\nSopra=2", "[Margini]\nSopra=2\n[Accesso]\nValore=AB12\n"},
        WriteCase{"KeysOfOtherSectionsAreNotTouched", "[Margini]\r\nValore=1\r\n",
                  "[Margini]\r\nValore=1\r\n[Accesso]\r\nValore=AB12\r\n"},
        WriteCase{"LinesEndedByALoneCr", "[Accesso]\rAltro=1\r[Margini]\rSopra=2",
                  "[Accesso]\rAltro=1\rValore=AB12\r[Margini]\rSopra=2"},
        // A lone CR before a line feed would make one CR LF of two line ends.
        WriteCase{"ANewLineTakesTheEndingOfTheLineBefore", "[Accesso]\rAltro=1\n\n[Margini]\r",
                  "[Accesso]\rAltro=1\nValore=AB12\n\n[Margini]\r"}),
    [](const testing::TestParamInfo<WriteCase>& info) { return info.param.name; });

// A full disk and a process's peak memory are POSIX's to stage and measure.
#ifndef _WIN32
TEST_F(Ini, AFailedWriteLeavesTheFileAsItWas) {
    const QByteArray before = "[Accesso]\r\nValore=48\r\n";
    folder.Write(QStringLiteral("prova.ini"), before);
    {
        WritesFail full;
        EXPECT_THROW(Write("Accesso", "Valore", "AB12"), IniError);
    }
    EXPECT_EQ(folder.Read(QStringLiteral("prova.ini")), before);
}
#endif

TEST_F(Ini, AnUnreadableFileIsAnError) {
    ASSERT_TRUE(QDir().mkdir(Path()));
    EXPECT_THROW(Read("Accesso", "Valore"), IniError);
    EXPECT_THROW(Write("Accesso", "Valore", "1"), IniError);
}

// Another copy of the program may rewrite the file while this one reads or
// writes it: a reader always finds the whole file, the old or the new, and a
// writer never drops what the file held besides its own key. Windows (where
// it does not rename as POSIX does: before Windows 10, off NTFS, under Wine)
// refuses to replace a file while a reader holds it open, and the writer
// waits for a gap: there the readers read now and then, as copies of the
// program do, not without a pause.
TEST(PasswordFile, WritersAndReadersAtOnceLoseNothing) {
    TempFolder folder;
    const ProgramFolder program = folder.Folder();
    const QString file = folder.File(QStringLiteral("unins000.dll"));
    WriteStoredPassword(program, QStringLiteral("prima"));
    IniFile(file).WriteString(QStringLiteral("Altro"), QStringLiteral("Chiave"), QStringLiteral("resta"));
    constexpr int kWrites = 300;
#ifdef _WIN32
    constexpr int kReads = 300;
    constexpr std::chrono::milliseconds kBetweenReads(20);
#else
    constexpr int kReads = 3000;
    constexpr std::chrono::milliseconds kBetweenReads(0);
#endif
    std::vector<std::function<bool()>> jobs;
    for (int w = 0; w < 4; ++w) {
        jobs.push_back([&, w] {
            for (int i = 0; i < kWrites; ++i) WriteStoredPassword(program, QStringLiteral("copia%1-%2").arg(w).arg(i));
            return true;
        });
    }
    for (int r = 0; r < 2; ++r) {
        jobs.push_back([&] {
            for (int i = 0; i < kReads; ++i) {
                std::this_thread::sleep_for(kBetweenReads);
                if (ReadStoredPassword(program).isEmpty()) return false;
                if (IniFile(file).ReadString(QStringLiteral("Altro"), QStringLiteral("Chiave")) != "resta") return false;
            }
            return true;
        });
    }
    EXPECT_TRUE(testing_support::RunInChildren(jobs)) << "a read found no password or no other section";
    EXPECT_EQ(IniFile(file).ReadString(QStringLiteral("Altro"), QStringLiteral("Chiave")), QStringLiteral("resta"));
    EXPECT_TRUE(ReadStoredPassword(program).startsWith(QStringLiteral("COPIA")));
}

#ifndef _WIN32
// Reading and writing a large file takes memory in proportion to it: a few
// times its size, not one allocation per line. Measured in a child process of
// its own, whose peak starts low.
TEST_F(Ini, ALargeFileTakesMemoryInProportion) {
    constexpr long kLines = 4 * 1024 * 1024;  // two bytes each: 8 MiB of "a" lines
    QByteArray bytes;
    bytes.reserve(2 * kLines + 64);
    for (long i = 0; i < kLines; ++i) bytes += "a\n";
    bytes += "[Accesso]\nValore=48\n";
    folder.Write(QStringLiteral("prova.ini"), bytes);
    bytes = {};
    const long fileKiB = 2 * kLines / 1024;
    const bool proportional = testing_support::RunInChildren({[&] {
        rusage before {};
        getrusage(RUSAGE_SELF, &before);
        if (Read("Accesso", "Valore") != QStringLiteral("48")) return false;
        Write("Accesso", "Valore", "AB12");
        rusage after {};
        getrusage(RUSAGE_SELF, &after);
        return after.ru_maxrss - before.ru_maxrss < 3 * fileKiB;
    }});
    EXPECT_TRUE(proportional);
    EXPECT_EQ(Read("Accesso", "Valore"), QStringLiteral("AB12"));
}
#endif

// --- The password file ---------------------------------------------------

TEST(PasswordFile, WritesTheStoredFormEnciphered) {
    TempFolder folder;
    WriteStoredPassword(folder.Folder(), QStringLiteral("  riConoscimento "));
    EXPECT_EQ(folder.Read(QStringLiteral("unins000.dll")),
              QByteArray("[Accesso]\r\nValore=5B699B650C6B69E3A7D0F4E080CD\r\n"));
    EXPECT_EQ(ReadStoredPassword(folder.Folder()), QStringLiteral("RICONOSCIMENTO"));
}

TEST(PasswordFile, ReadsEmptyWhenNothingIsStored) {
    TempFolder folder;
    EXPECT_EQ(ReadStoredPassword(folder.Folder()), QString());
    folder.Write(QStringLiteral("unins000.dll"), "[Altro]\r\nValore=48\r\n");
    EXPECT_EQ(ReadStoredPassword(folder.Folder()), QString());
}

TEST(PasswordFile, TrimsTheDecipheredValue) {
    TempFolder folder;
    const QString hex = EncryptPassword(QStringLiteral(" \tAB "));
    folder.Write(QStringLiteral("unins000.dll"), "[Accesso]\nValore=" + hex.toLatin1() + "\n");
    EXPECT_EQ(ReadStoredPassword(folder.Folder()), QStringLiteral("AB"));
}

TEST(PasswordFile, ADamagedValueIsAnError) {
    TempFolder folder;
    folder.Write(QStringLiteral("unins000.dll"), "[Accesso]\r\nValore=48ZZ\r\n");
    EXPECT_THROW(ReadStoredPassword(folder.Folder()), CryptError);
}

TEST(PasswordFile, RefusesAPasswordTheCipherCannotKeep) {
    TempFolder folder;
    WriteStoredPassword(folder.Folder(), QStringLiteral("vecchia"));
    const QByteArray before = folder.Read(QStringLiteral("unins000.dll"));
    EXPECT_THROW(WriteStoredPassword(folder.Folder(), QStringLiteral("\u20ac uro")), std::invalid_argument);
    EXPECT_EQ(folder.Read(QStringLiteral("unins000.dll")), before);
}

// Runs the build's first-password tool on a folder; its exit status.
int LayFirstPassword(const QString& folder) {
    QProcess tool;
    tool.start(QStringLiteral(VELMORA_FIRST_PASSWORD), {folder});
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit) return -1;
    return tool.exitCode();
}

TEST(PasswordFile, TheBuildLaysTheFirstAccessPassword) {
    TempFolder folder;
    const QString program = folder.File(QStringLiteral("Velmora"));
    ASSERT_EQ(LayFirstPassword(program), 0);
    EXPECT_EQ(ReadStoredPassword(ProgramFolder(program)), NormalizePassword(QString::fromLatin1(kFirstAccessPassword)));

    // Building again keeps a password changed in the folder.
    WriteStoredPassword(ProgramFolder(program), QStringLiteral("cambiata"));
    ASSERT_EQ(LayFirstPassword(program), 0);
    EXPECT_EQ(ReadStoredPassword(ProgramFolder(program)), NormalizePassword(QStringLiteral("cambiata")));
}

}  // namespace
