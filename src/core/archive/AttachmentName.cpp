#include "core/archive/AttachmentName.h"

#include "core/archive/ShortText.h"
#include "core/folder/TextRules.h"

#include <cstring>

namespace {

// The name in the code page, "_" for each character a Windows file name cannot
// hold.
QByteArray FileNameBytes(const QString& name) {
    QByteArray bytes = ToCodePage(name);
    for (char& c : bytes)
        if (static_cast<unsigned char>(c) < 32 || std::strchr("\\/:*?\"<>|", c)) c = '_';
    return bytes;
}

}  // namespace

QString AttachmentName(const QString& fileName) {
    QByteArray bytes = FileNameBytes(TrimText(fileName));
    constexpr qsizetype kMax = ShortText250::kMaxLength;
    if (bytes.size() > kMax) {
        // The extension runs from the last dot; a name that starts with its
        // only dot has none.
        const qsizetype dot = bytes.lastIndexOf('.');
        const qsizetype extension = dot > 0 && bytes.size() - dot < kMax ? bytes.size() - dot : 0;
        bytes = bytes.left(kMax - extension) + bytes.right(extension);
    }
    // A cut may leave blanks at the end, which a field would not keep.
    return TrimText(FromCodePage(bytes.constData(), bytes.size()));
}

QString AttachmentNameChanges(const QString& fileName) { return ChangedLetters(TrimText(fileName), FileNameBytes); }
