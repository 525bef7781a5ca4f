// The user guide as the build lays it into the program folder.
#include "GuidaShots.h"
#include "windows/app/Velmora.h"
#include "support/PdfText.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

const QString kGuide = QStringLiteral(VELMORA_PROGRAM_DIR "/Guida.pdf");
const QString kShotList = QStringLiteral(VELMORA_GUIDA_SOURCE "/finestre.txt");

QByteArray RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return process.readAllStandardOutput();
}

// The text of the guide, its words joined by single spaces.
QString GuideText() {
    QStringList words;
    for (const testing_support::PdfWord& word : testing_support::PdfWords(kGuide)) words << word.text;
    return words.join(QLatin1Char(' '));
}

// The picture as the PDF keeps it: a JPEG copy when the file holds JPEG
// pictures (`jpeg` true), the picture itself otherwise.
QImage AsStored(const QImage& picture, bool jpeg) {
    if (!jpeg) return picture.convertToFormat(QImage::Format_RGB32);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(94);
    writer.write(picture);
    return QImage::fromData(bytes, "jpeg").convertToFormat(QImage::Format_RGB32);
}

// Pixels whose colour differs; every pixel for pictures of different sizes.
long long Differing(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return std::max(a.width() * qint64(a.height()), b.width() * qint64(b.height()));
    long long differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) differing += pa[x] != pb[x];
    }
    return differing;
}

class Guida : public testing::Test {
protected:
    void SetUp() override {
        testing_support::EnsureApplication();
        ASSERT_TRUE(QFileInfo::exists(kGuide)) << kGuide.toStdString();
        windows = guida::ReadShotList(kShotList);
    }
    QStringList windows;
};

TEST_F(Guida, HasAtLeastTenPages) { EXPECT_GE(testing_support::PdfPageCount(kGuide), 10); }

// Every window of the program is named in the guide by the caption its user
// sees, and each topic has its chapter.
TEST_F(Guida, HasASectionOnEachWindowAndTopic) {
    const QString text = GuideText();
    testing_support::AppFixture fixture;
    ASSERT_EQ(fixture.app->Windows().size(), 16u);
    for (QWidget* window : fixture.app->Windows()) {
        const QString caption = window->windowTitle().simplified();
        EXPECT_TRUE(text.contains(caption)) << caption.toStdString();
    }
    for (const char* chapter :
         {"Come si avvia il programma", "La password", "La finestra di avvio", "L'archivio dati",
          "Cercare una scheda e stampare il riepilogo", "Una scheda su tutto il foglio",
          "Stampare un indirizzo su una busta", "I documenti allegati", "L'esportazione in Excel",
          "Le pagine di etichette", "Anteprima e stampa di una pagina", "La tastiera e i lettori di schermo",
          "Più computer, la chiavetta USB e le copie di sicurezza", "I messaggi del programma"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(chapter))) << chapter;
    }
}

// The pictures are those of the list, in its order, and each one is what the
// program built with the guide shows for that window.
TEST_F(Guida, PicturesShowTheProgramsWindows) {
    ASSERT_GE(windows.size(), 8);
    int listed = 0;
    for (const QByteArray& line : RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), kGuide}).split('\n')) {
        const QStringList columns = QString::fromLatin1(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (columns.size() > 2 && columns[2] == QLatin1String("image")) ++listed;
    }
    EXPECT_EQ(listed, windows.size());

    // JPEG pictures are taken out as the file holds them, the others as PPM.
    QTemporaryDir extracted;
    RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-j"), kGuide, extracted.path() + QStringLiteral("/p")});
    const QFileInfoList files = QDir(extracted.path()).entryInfoList(QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), windows.size());

    guida::Studio studio;
    std::vector<QImage> shots;
    for (const QString& window : windows) shots.push_back(studio.Take(window));
    for (int i = 0; i < windows.size(); ++i) {
        const QImage inGuide = QImage(files[i].filePath()).convertToFormat(QImage::Format_RGB32);
        const bool jpeg = files[i].suffix() == QLatin1String("jpg");
        EXPECT_EQ(Differing(inGuide, AsStored(shots[i], jpeg)), 0) << windows[i].toStdString();
        // The comparison tells apart the windows that look different, even
        // those of one size.
        for (int j = 0; j < windows.size(); ++j) {
            if (j != i && shots[i] != shots[j])
                EXPECT_GT(Differing(inGuide, AsStored(shots[j], jpeg)), 0) << windows[i].toStdString() << " as "
                                                                            << windows[j].toStdString();
        }
    }
}

// The README's pictures are what the program draws now, each shown by the
// README with its caption: a window whose look changes fails here until the
// pictures are made anew (scripts/readme-pictures.sh). They are made by the
// guide's tool in a process of its own, as that script makes them.
TEST(Readme, PicturesShowTheProgramAsBuilt) {
    QFile file(QStringLiteral(VELMORA_SOURCE_DIR "/README.md"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString readme = QString::fromUtf8(file.readAll());
    QTemporaryDir now;
    RunTool(QStringLiteral(VELMORA_GUIDA_TOOL), {QStringLiteral("--readme"), now.path()});
    qint64 bytes = 0;
    for (const guida::ReadmePicture& picture : guida::ReadmePictures()) {
        const QString name = QLatin1String(picture.file);
        const QString path = QStringLiteral(VELMORA_SOURCE_DIR "/docs/readme/") + name;
        const QImage committed(path), drawn(now.filePath(name));
        ASSERT_FALSE(committed.isNull()) << path.toStdString();
        ASSERT_FALSE(drawn.isNull()) << picture.file;
        bytes += QFileInfo(path).size();
        EXPECT_EQ(Differing(committed.convertToFormat(QImage::Format_RGB32), drawn.convertToFormat(QImage::Format_RGB32)), 0)
            << picture.file << " is not what the program draws: remake it with scripts/readme-pictures.sh";
        EXPECT_TRUE(readme.contains(QStringLiteral("](docs/readme/") + name + QLatin1Char(')'))) << picture.file;
        EXPECT_TRUE(readme.contains(QString::fromUtf8(picture.caption))) << picture.caption;
    }
    EXPECT_LT(bytes, 600 * 1024) << "the README's pictures weigh on every visit to the repository's page";
}

}  // namespace
