#include "support/PdfText.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QXmlStreamReader>

#include <algorithm>
#include <climits>
#include <functional>

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

QStringList PdfLines(const QString& pdf, PdfReader reader, int page) {
    ExpectSoundPdf(pdf);
    QStringList pages;
    if (page > 0) pages << QString::number(page);
    QProcess process;
    if (reader == PdfReader::Poppler) {
        // As the text stands on the page: a line with a wide gap is not
        // parted into columns.
        QStringList arguments = {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8")};
        if (page > 0) arguments << QStringLiteral("-f") << pages[0] << QStringLiteral("-l") << pages[0];
        process.start(QStringLiteral("pdftotext"), arguments << pdf << QStringLiteral("-"));
    } else {
        process.start(QStringLiteral("mutool"), QStringList{QStringLiteral("draw"), QStringLiteral("-q"),
                                                            QStringLiteral("-F"), QStringLiteral("txt"),
                                                            QStringLiteral("-o"), QStringLiteral("-"), pdf}
                                                    << pages);
    }
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << process.program().toStdString() << " failed on " << pdf.toStdString() << ": "
                      << process.readAllStandardError().toStdString();
        return {};
    }
    QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n');
    for (QString& line : lines) line = line.remove(u'\f').simplified();
    lines.removeAll(QString());
    return lines;
}

PdfPageTreeShape PdfPageTree(const QString& pdf) {
    ExpectSoundPdf(pdf);
    QProcess qpdf;
    qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--json"), QStringLiteral("--json-key=qpdf"), pdf});
    if (!qpdf.waitForFinished(120000) || qpdf.exitCode() != 0) {
        ADD_FAILURE() << "qpdf --json failed on " << pdf.toStdString();
        return {};
    }
    // Each object's dictionary by its reference ("4 0 R").
    QHash<QString, QJsonObject> objects;
    QString root;
    const QJsonObject all =
        QJsonDocument::fromJson(qpdf.readAllStandardOutput()).object()[QStringLiteral("qpdf")].toArray()[1].toObject();
    for (auto object = all.begin(); object != all.end(); ++object) {
        const QJsonObject dictionary = object.value().toObject()[QStringLiteral("value")].toObject();
        objects.insert(object.key().mid(4), dictionary);
        if (dictionary[QStringLiteral("/Type")] == QStringLiteral("/Catalog"))
            root = dictionary[QStringLiteral("/Pages")].toString();
    }
    PdfPageTreeShape shape;
    shape.shallowest = INT_MAX;
    // The pages under `node`, checked on the way.
    const std::function<long long(const QString&, int)> walk = [&](const QString& node, int depth) -> long long {
        const QJsonObject dictionary = objects.value(node);
        if (dictionary[QStringLiteral("/Type")] == QStringLiteral("/Page")) {
            shape.shallowest = std::min(shape.shallowest, depth);
            shape.deepest = std::max(shape.deepest, depth);
            return 1;
        }
        const QJsonArray kids = dictionary[QStringLiteral("/Kids")].toArray();
        shape.widest = std::max(shape.widest, int(kids.size()));
        long long pages = 0;
        for (const QJsonValue kid : kids) {
            EXPECT_EQ(objects.value(kid.toString())[QStringLiteral("/Parent")].toString(), node)
                << "the parent of " << kid.toString().toStdString();
            pages += walk(kid.toString(), depth + 1);
        }
        EXPECT_EQ(dictionary[QStringLiteral("/Count")].toInteger(), pages) << "the count of " << node.toStdString();
        return pages;
    };
    if (root.isEmpty()) {
        ADD_FAILURE() << "no catalog in " << pdf.toStdString();
        return shape;
    }
    shape.pages = walk(root, 0);
    return shape;
}

PdfWord FindWord(const std::vector<PdfWord>& words, const QString& text) {
    for (const PdfWord& word : words) {
        if (word.text == text) return word;
    }
    ADD_FAILURE() << "no word " << text.toStdString();
    return {};
}

}  // namespace testing_support
