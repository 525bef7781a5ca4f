#include "archive/PickerItem.h"

#include "app/TextRules.h"
#include "archive/DataRecord.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr int kNameWidth = 40;
constexpr int kTypeWidth = 28;

char16_t Upper(QChar c) { return UpperAscii(c.unicode()); }
char16_t Lower(QChar c) { return LowerAscii(c.unicode()); }

// Appends `field` padded or cut to `width` characters.
void AppendPadded(QString& text, const QString& field, qsizetype width) {
    text += QStringView(field).left(width);
    text.resize(text.size() + width - std::min(width, field.size()), QLatin1Char(' '));
}

constexpr qsizetype kKeyLength = 12;

// The sort key of an item text: its first twelve characters, A-Z for a-z,
// four in each word from the top, and zeros after a shorter text. Two keys
// that differ are in the list's order; equal keys say nothing.
using SortKey = std::array<std::uint64_t, 3>;
SortKey KeyOf(QStringView text) {
    SortKey key{};
    for (qsizetype i = 0; i < kKeyLength; ++i)
        key[std::size_t(i / 4)] = key[std::size_t(i / 4)] << 16 | (i < text.size() ? Upper(text[i]) : 0u);
    return key;
}

}  // namespace

QString PickerItemText(const QString& nome, const QString& tipo, const QString& note) {
    QString text;
    text.reserve(kNameWidth + 8 + kTypeWidth + 8 + note.size());
    AppendPadded(text, nome, kNameWidth);
    text += QLatin1String("  Tipo: ");
    AppendPadded(text, tipo, kTypeWidth);
    text += QLatin1String("  Note: ");
    text += note;
    return text;
}

QString PickerItemText(const DataRecord& record) {
    return PickerItemText(record.Text(DataRecord::Nome), record.Text(DataRecord::Tipo),
                          record.Text(DataRecord::Note));
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
        QStringView text;
        std::size_t index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) keyed.push_back({KeyOf(items[i].text), items[i].text, i});
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        if (a.key != b.key) return a.key < b.key;
        // Equal keys of texts that long: their beginnings are equal.
        return BeforeFrom(a.text, b.text, std::min({a.text.size(), b.text.size(), kKeyLength}));
    });
    std::vector<PickerItem> sorted;
    sorted.reserve(items.size());
    for (const Keyed& k : keyed) sorted.push_back(std::move(items[k.index]));
    items = std::move(sorted);
}

void ReadPickerItems(DataRecordFile& file, std::vector<PickerItem>& items) {
    // The records there when the list is filled; counted once, not at every record.
    const long long count = file.RecordCount();
    items.reserve(items.size() + static_cast<std::size_t>(count - file.Position()));
    DataRecord record;
    while (file.Position() < count) {
        file.Read(record);
        const QString nome = record.Text(DataRecord::Nome);
        if (nome.isEmpty()) continue;
        items.push_back({PickerItemText(nome, record.Text(DataRecord::Tipo), record.Text(DataRecord::Note)),
                         file.Position()});
    }
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
