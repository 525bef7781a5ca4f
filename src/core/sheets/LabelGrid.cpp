#include "core/sheets/LabelGrid.h"

namespace label_grid {

QString TwoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

QString SlotSuffix(int slot) { return QStringLiteral("_E") + TwoDigits(slot); }

QString LineName(int line, int slot) { return QStringLiteral("txtRigo") + TwoDigits(line) + SlotSuffix(slot); }

QString SlotKey(int slot) { return QStringLiteral("etichetta") + SlotSuffix(slot); }

int SlotOfKey(const QString& key) {
    for (int slot = 1; slot <= kSlots; ++slot)
        if (key == SlotKey(slot)) return slot;
    return 0;
}

}  // namespace label_grid
