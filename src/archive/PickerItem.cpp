#include "archive/PickerItem.h"

#include "app/TextRules.h"
#include "archive/DataRecord.h"

#include <algorithm>

namespace {

constexpr int kNameWidth = 40;
constexpr int kTypeWidth = 28;

char16_t Upper(QChar c) { return UpperAscii(c.unicode()); }
char16_t Lower(QChar c) { return LowerAscii(c.unicode()); }

}  // namespace

QString PickerItemText(const QString& nome, const QString& tipo, const QString& note) {
    QString text;
    text.reserve(kNameWidth + 8 + kTypeWidth + 8 + note.size());
    text += nome.leftJustified(kNameWidth, QLatin1Char(' '), true);
    text += QLatin1String("  Tipo: ");
    text += tipo.leftJustified(kTypeWidth, QLatin1Char(' '), true);
    text += QLatin1String("  Note: ");
    text += note;
    return text;
}

QString PickerItemText(const DataRecord& record) {
    return PickerItemText(record.Text(DataRecord::Nome), record.Text(DataRecord::Tipo),
                          record.Text(DataRecord::Note));
}

bool PickerItemBefore(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = Upper(a[i]);
        const char16_t y = Upper(b[i]);
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

void SortPickerItems(std::vector<PickerItem>& items) {
    std::stable_sort(items.begin(), items.end(), [](const PickerItem& a, const PickerItem& b) {
        return PickerItemBefore(a.text, b.text);
    });
}

void ReadPickerItems(DataRecordFile& file, std::vector<PickerItem>& items) {
    items.reserve(items.size() + static_cast<std::size_t>(file.RecordCount()));
    DataRecord record;
    while (!file.AtEnd()) {
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
