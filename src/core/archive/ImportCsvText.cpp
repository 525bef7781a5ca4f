#include "core/archive/ImportCsvText.h"

#include "core/archive/RecordFile.h"
#include "core/folder/FileAccess.h"

#include <algorithm>
#include <cerrno>

namespace csv_import {
namespace {

const QByteArray kBom = "\xEF\xBB\xBF";

// The text in UTF-8, a lone surrogate as U+FFFD (toUtf8 would make it a
// plain "?", and the row rules could not tell it).
QByteArray Utf8(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
        else if (text[i].isSurrogate()) text[i] = QChar::ReplacementCharacter;
    }
    return text.toUtf8();
}

}  // namespace

QByteArrayView BytesSource::Next(qsizetype size) {
    const QByteArrayView piece = QByteArrayView(bytes_).sliced(at_).first(std::min(size, bytes_.size() - at_));
    at_ += piece.size();
    return piece;
}

QByteArrayView FileSource::Next(qsizetype size) {
    buffer_.resize(size);
    const qint64 done = file_.Read(buffer_.data(), size);
    if (done < 0) Fail();
    return QByteArrayView(buffer_).first(done);
}

void FileSource::Rewind() {
    if (!file_.Rewind()) Fail();
}

void FileSource::Fail() const {
    throw FileError(QStringLiteral("Impossibile leggere %1: %2").arg(path_, SystemReason(errno)).toStdString());
}

Text::Text(Source& source, qsizetype chunkSize) : source_(source), chunkSize_(chunkSize) {
    source_.Rewind();
    // The first chunk, long enough to hold a mark whatever the chunk size.
    head_ = source_.Next(std::max(chunkSize, kBom.size())).toByteArray();
    if (head_.startsWith(kBom)) {
        mark_ = Mark::Utf8;
        head_.remove(0, kBom.size());
    } else if (head_.startsWith("\xFF\xFE") || head_.startsWith("\xFE\xFF")) {
        mark_ = Mark::Utf16;
        utf16_.emplace(QStringConverter::Utf16);
    }
}

QByteArrayView Text::Next() {
    for (;;) {
        QByteArrayView raw;
        if (!headGiven_) raw = head_;
        headGiven_ = true;
        if (raw.isEmpty()) raw = source_.Next(chunkSize_);
        if (!utf16_) return raw;
        QString text = high_ + utf16_->decode(raw);
        high_.clear();
        // A high surrogate that ends the chunk waits for its low one.
        if (!raw.isEmpty() && !text.isEmpty() && text.back().isHighSurrogate()) {
            high_ = text.back();
            text.chop(1);
        }
        converted_ = Utf8(text);
        if (!converted_.isEmpty() || raw.isEmpty()) return converted_;
    }
}

bool Utf8Check::Feed(QByteArrayView chunk) {
    // The decoder keeps a sequence that a chunk cuts, to finish it with the next.
    [[maybe_unused]] const QString decoded = decoder_(chunk);  // decodes here, in the conversion
    valid_ = valid_ && !decoder_.hasError();
    return valid_;
}

bool Utf8Check::End() {
    // A sequence that the end cuts is no UTF-8 either: a line feed after it
    // makes it the error it is.
    return Feed("\n");
}

}  // namespace csv_import
