#include "support/IniForms.h"

#include <QStringEncoder>

namespace testing_support {

QString IniForm::Text(const QStringList& lines) const {
    QString text;
    for (qsizetype i = 0; i < lines.size(); ++i) text += lines[i] + Ending(i);
    return text;
}

QByteArray IniForm::Bytes(const QString& text) const {
    const auto [converter, flags] = [this]() -> std::pair<QStringConverter::Encoding, QStringConverter::Flags> {
        switch (encoding) {
            case Encoding::kUtf8: return {QStringConverter::Utf8, QStringConverter::Flag::Default};
            case Encoding::kUtf8Mark: return {QStringConverter::Utf8, QStringConverter::Flag::WriteBom};
            case Encoding::kUtf16LE: return {QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom};
            case Encoding::kUtf16BE: return {QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom};
        }
        return {};
    }();
    QStringEncoder encoder(converter, flags);
    return encoder.encode(text);
}

std::string IniForm::Name() const {
    static const char* const names[] = {"UTF-8", "UTF-8 with its mark", "UTF-16 LE", "UTF-16 BE"};
    QString ends;
    for (const QString& ending : endings)
        ends += (ends.isEmpty() ? QString() : QStringLiteral(" ")) +
                QString(ending).replace(u'\r', QStringLiteral("CR")).replace(u'\n', QStringLiteral("LF"));
    return std::string(names[int(encoding)]) + ", " + ends.toStdString();
}

const std::vector<IniForm>& IniForms() {
    static const std::vector<IniForm> forms = [] {
        const QStringList endings[] = {{"\r\n"}, {"\n"}, {"\r"}, {"\r\n", "\n", "\r"}};
        std::vector<IniForm> all;
        for (IniForm::Encoding encoding : {IniForm::Encoding::kUtf8, IniForm::Encoding::kUtf8Mark,
                                           IniForm::Encoding::kUtf16LE, IniForm::Encoding::kUtf16BE})
            for (const QStringList& ends : endings) all.push_back({encoding, ends});
        return all;
    }();
    return forms;
}

}  // namespace testing_support
