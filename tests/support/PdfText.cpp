#include "support/PdfText.h"

#include <QHash>
#include <QProcess>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace testing_support {

void ExpectSoundPdf(const QString& pdf) {
    QProcess qpdf;
    qpdf.setProcessChannelMode(QProcess::MergedChannels);
    qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
    if (!qpdf.waitForFinished(60000) || qpdf.exitStatus() != QProcess::NormalExit || qpdf.exitCode() != 0) {
        ADD_FAILURE() << "qpdf --check " << pdf.toStdString() << ":\n" << qpdf.readAll().toStdString();
    }
}

std::vector<PdfWord> PdfWords(const QString& pdf) {
    ExpectSoundPdf(pdf);
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed on " << pdf.toStdString();
        return {};
    }
    std::vector<PdfWord> words;
    QXmlStreamReader xml(process.readAllStandardOutput());
    int page = 0;
    QSizeF paper;
    const double mmPerPoint = 25.4 / 72;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"page") {
            ++page;
            paper = QSizeF(xml.attributes().value(QStringLiteral("width")).toDouble() * mmPerPoint,
                           xml.attributes().value(QStringLiteral("height")).toDouble() * mmPerPoint);
        }
        if (xml.name() != u"word") continue;
        const auto attributes = xml.attributes();
        PdfWord word{page, {}, attributes.value(QStringLiteral("xMin")).toDouble() * mmPerPoint,
                     attributes.value(QStringLiteral("yMin")).toDouble() * mmPerPoint,
                     attributes.value(QStringLiteral("xMax")).toDouble() * mmPerPoint,
                     attributes.value(QStringLiteral("yMax")).toDouble() * mmPerPoint, paper};
        word.text = xml.readElementText();
        words.push_back(word);
    }
    return words;
}

int PdfPageCount(const QString& pdf) {
    ExpectSoundPdf(pdf);
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {pdf});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) return -1;
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    }
    return -1;
}

std::vector<PdfSizedText> PdfTextSizes(const QString& pdf) {
    ExpectSoundPdf(pdf);
    constexpr int kZoom = 3;
    QProcess process;
    process.start(QStringLiteral("pdftohtml"), {QStringLiteral("-xml"), QStringLiteral("-i"), QStringLiteral("-stdout"),
                                                QStringLiteral("-zoom"), QString::number(kZoom), pdf});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        ADD_FAILURE() << "pdftohtml failed on " << pdf.toStdString();
        return {};
    }
    std::vector<PdfSizedText> texts;
    QHash<QString, double> sizes;  // font id to its size at the zoom
    QXmlStreamReader xml(process.readAllStandardOutput());
    int page = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const auto attributes = xml.attributes();
        if (xml.name() == u"page") ++page;
        if (xml.name() == u"fontspec")
            sizes[attributes.value(QStringLiteral("id")).toString()] =
                attributes.value(QStringLiteral("size")).toDouble();
        if (xml.name() != u"text") continue;
        const QString font = attributes.value(QStringLiteral("font")).toString();
        EXPECT_TRUE(sizes.contains(font)) << "no fontspec " << font.toStdString();
        texts.push_back({page, xml.readElementText(QXmlStreamReader::IncludeChildElements), sizes.value(font) / kZoom});
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return texts;
}

PdfWord FindWord(const std::vector<PdfWord>& words, const QString& text) {
    for (const PdfWord& word : words) {
        if (word.text == text) return word;
    }
    ADD_FAILURE() << "no word " << text.toStdString();
    return {};
}

}  // namespace testing_support
