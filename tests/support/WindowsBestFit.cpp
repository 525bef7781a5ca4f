#include "support/WindowsBestFit.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace testing_support {

const QStringList& LetterTable() {
    static const QStringList table = {
        QStringLiteral("Łukasz Wójcik"), QStringLiteral("Ł ł Ż ż Ś ś Ć ć Ń ń Ę ę Ą ą"),
        QStringLiteral("ż ś ć ń ę ą"), QStringLiteral("Umowa Łódź żółw.txt"), QStringLiteral("Łucja"),
        QStringLiteral("Ő ő Ű ű"), QStringLiteral("Ș ș Ț ț Ş ş Ţ ţ"),
        QStringLiteral("e\u0301 a\u0308 n\u0303 E\u0301 o\u0302"), QStringLiteral("q\u0301 x\u0308"),
        QStringLiteral("ﬁ ﬂ ﬃ"), QStringLiteral("“ ” ‘ ’ … — – € ™ „ ‚ « »"), QStringLiteral("‐ ‑ − ′ ″ ⁄"),
        QStringLiteral("Città ß ÿ Ÿ Œ œ Š š Ž ž ƒ"), QStringLiteral("Ω α β µ π Å K"),
        QStringLiteral("Ａｂｃ１２３"), QStringLiteral("中文 日本語 한국어"), QString::fromUcs4(U"\U0001F600 x \U0001F44D"),
        QStringLiteral("a:b*c?d\"e<f>g|h\\i/j.txt"),
    };
    return table;
}

std::vector<QByteArray> WindowsBestFit(const QStringList& texts, QString& skipped) {
#if defined(VELMORA_BESTFIT_EXE)
    (void)skipped;
    QTemporaryDir work;
    const QString input = work.filePath(QStringLiteral("texts.utf16"));
    QFile file(input);
    if (!file.open(QIODevice::WriteOnly)) {
        ADD_FAILURE() << "cannot write " << input.toStdString();
        return {};
    }
    for (const QString& text : texts) {
        EXPECT_FALSE(text.contains(u'\n'));
        const QString line = text + u'\n';
        file.write(reinterpret_cast<const char*>(line.utf16()), line.size() * 2);  // little-endian here
    }
    file.close();

    QProcess windows;
#if defined(VELMORA_WINE)
    // Run by Wine, with one prefix for the whole test program: Wine takes
    // some 20 seconds to make one.
    static QTemporaryDir prefix;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), prefix.path());
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    environment.remove(QStringLiteral("DISPLAY"));
    windows.setProcessEnvironment(environment);
    windows.start(QStringLiteral(VELMORA_WINE), {QStringLiteral(VELMORA_BESTFIT_EXE), input});
#else
    // This is Windows (or Wine running the Windows build): the program runs
    // as it is.
    windows.start(QStringLiteral(VELMORA_BESTFIT_EXE), {input});
#endif
    if (!windows.waitForFinished(300000) || windows.exitStatus() != QProcess::NormalExit || windows.exitCode() != 0) {
        windows.kill();
        windows.waitForFinished();
        ADD_FAILURE() << VELMORA_BESTFIT_EXE << " failed: " << windows.readAllStandardError().toStdString();
        return {};
    }
    std::vector<QByteArray> converted;
    for (const QByteArray& line : windows.readAllStandardOutput().split('\n'))
        if (converted.size() < static_cast<std::size_t>(texts.size())) converted.push_back(QByteArray::fromHex(line));
    if (converted.size() != static_cast<std::size_t>(texts.size())) {
        ADD_FAILURE() << VELMORA_BESTFIT_EXE << " gave " << converted.size() << " texts for " << texts.size();
        return {};
    }
#if defined(VELMORA_WINE)
    // Wine's server for the prefix is gone before the prefix is.
    QProcess server;
    server.setProcessEnvironment(environment);
    server.start(QStringLiteral("wineserver"), {QStringLiteral("-w")});
    server.waitForFinished(60000);
#endif
    return converted;
#else
    (void)texts;
    skipped = QStringLiteral("SKIPPED: no x86_64-w64-mingw32-gcc or no wine in this build (scripts/install-deps.sh test "
                             "installs them): the letters are not compared with Windows' own conversion");
    return {};
#endif
}

}  // namespace testing_support
