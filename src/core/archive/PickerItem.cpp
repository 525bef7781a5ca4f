#include "core/archive/PickerItem.h"

#include "core/folder/TextRules.h"
#include "core/archive/DataRecord.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr int kNameWidth = 40;
constexpr int kTypeWidth = 28;

char16_t Upper(QChar c) { return UpperAscii(c.unicode()); }
char16_t Lower(QChar c) { return LowerAscii(c.unicode()); }

// Writes a field at out and returns the end: a text as it is, the stored
// bytes of a record's field converted from Windows-1252.
QChar* Put(QChar* out, QStringView text) { return std::copy(text.begin(), text.end(), out); }
QChar* Put(QChar* out, QByteArrayView bytes) {
    FromCodePage(bytes.data(), bytes.size(), out);
    return out + bytes.size();
}

// Writes the field padded or cut to width characters.
template <class Field>
QChar* PutPadded(QChar* out, Field field, qsizetype width) {
    out = Put(out, field.first(std::min(width, field.size())));
    return std::fill_n(out, width - std::min(width, field.size()), QLatin1Char(' '));
}

// The item text of the fields (all texts, or all stored bytes), made in one
// allocation of its final size.
template <class Field>
QString ItemText(Field nome, Field tipo, Field note) {
    const QStringView tipoLabel = u"  Tipo: ";
    const QStringView noteLabel = u"  Note: ";
    QString text(kNameWidth + tipoLabel.size() + kTypeWidth + noteLabel.size() + note.size(), Qt::Uninitialized);
    QChar* out = PutPadded(text.data(), nome, kNameWidth);
    out = PutPadded(Put(out, tipoLabel), tipo, kTypeWidth);
    Put(Put(out, noteLabel), note);
    return text;
}

// Names alike for a dozen characters (a surname and the start of a first
// name) are common; two dozen tell nearly all of them apart.
constexpr std::size_t kKeyLength = 24;

// The sort key of an item text: its first 24 characters, A-Z for a-z, four in
// each word from the top, and zeros after a shorter text. Two keys that differ
// are in the list's order; equal keys say nothing.
using SortKey = std::array<std::uint64_t, kKeyLength / 4>;
SortKey KeyOf(QStringView text) {
    std::array<char16_t, kKeyLength> c{};
    std::copy_n(text.utf16(), std::min(text.size(), qsizetype(kKeyLength)), c.begin());
    for (char16_t& x : c) x = UpperAscii(x);
    SortKey key;
    for (std::size_t w = 0; w < key.size(); ++w)
        key[w] = std::uint64_t(c[4 * w]) << 48 | std::uint64_t(c[4 * w + 1]) << 32 |
                 std::uint64_t(c[4 * w + 2]) << 16 | c[4 * w + 3];
    return key;
}

}  // namespace

QString PickerItemText(const QString& nome, const QString& tipo, const QString& note) {
    return ItemText<QStringView>(nome, tipo, note);
}

QString PickerItemText(const DataRecord& record) {
    // Straight from the stored bytes, without a QString for each field.
    const auto bytes = [&](DataRecord::Field f) { return ShortTextBytes(record.field[f]); };
    return ItemText(bytes(DataRecord::Nome), bytes(DataRecord::Tipo), bytes(DataRecord::Note));
}

namespace {

// PickerItemBefore for texts known to be equal before `from`.
bool BeforeFrom(QStringView a, QStringView b, qsizetype from) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = from; i < n; ++i) {
        const char16_t x = Upper(a[i]);
        const char16_t y = Upper(b[i]);
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

}  // namespace

bool PickerItemBefore(QStringView a, QStringView b) { return BeforeFrom(a, b, 0); }

void SortPickerItems(std::vector<PickerItem>& items) {
    // Sorted through short keys beside the texts, which are compared only
    // where the keys tie.
    struct Keyed {
        SortKey key;
        std::size_t index;
    };
    std::vector<Keyed> keyed(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) keyed[i] = {KeyOf(items[i].text), i};
    std::stable_sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) {
        for (std::size_t w = 0; w < a.key.size(); ++w)
            if (a.key[w] != b.key[w]) return a.key[w] < b.key[w];
        // Equal keys of texts that long: their beginnings are equal.
        const QStringView x = items[a.index].text;
        const QStringView y = items[b.index].text;
        return BeforeFrom(x, y, std::min({x.size(), y.size(), qsizetype(kKeyLength)}));
    });
    std::vector<PickerItem> sorted;
    sorted.reserve(items.size());
    for (const Keyed& k : keyed) sorted.push_back(std::move(items[k.index]));
    items = std::move(sorted);
}

void ReadPickerItems(DataRecordFile& file, std::vector<PickerItem>& items) {
    // The records there when the list is filled; counted once, not at every record.
    const long long count = std::max(0LL, file.RecordCount() - file.Position());
    items.reserve(items.size() + static_cast<std::size_t>(count));
    file.ReadMany(count, [&](const DataRecord& record) {
        if (ShortTextBytes(record.field[DataRecord::Nome]).isEmpty()) return;
        items.push_back({PickerItemText(record), file.Position()});
    });
}

bool PickerItemMatches(QStringView item, QStringView lowered) {
    const qsizetype n = lowered.size();
    if (n == 0 || n > item.size()) return false;
    const char16_t first = lowered[0].unicode();
    for (qsizetype at = 0; at + n <= item.size(); ++at) {
        if (Lower(item[at]) != first) continue;
        qsizetype i = 1;
        while (i < n && Lower(item[at + i]) == lowered[i].unicode()) ++i;
        if (i == n) return true;
    }
    return false;
}

int PickerSearchStep(const std::vector<PickerItem>& items, int current, const QString& typed,
                     QString& lastSearch) {
    const int count = static_cast<int>(items.size());
    if (current < 0) current = 0;
    const QString search = LowerAscii(typed);
    const bool repeated = search == lastSearch;
    lastSearch = search;
    // A new search tests the rows from the first; a repeated one the rows
    // after the current one, wrapping round, the current one last.
    const int start = repeated ? current + 1 : 0;
    for (int k = 0; k < count; ++k) {
        const int index = (start + k) % count;
        if (PickerItemMatches(items[static_cast<std::size_t>(index)].text, search)) return index;
    }
    return current;
}
