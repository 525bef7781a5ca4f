#pragma once
// The 1,000 stored label pages the benchmarks share.
#include "core/sheets/LabelGrid.h"
#include "core/sheets/SheetRecord.h"

#include <QString>

namespace bench_sheets {

constexpr int kPages = 1000;

// Line `line` of slot `slot` on page `page` (from 0).
inline QString LineText(int page, int slot, int line) {
    return QStringLiteral("Pagina %1 etichetta %2 rigo %3").arg(page).arg(slot).arg(line);
}

// Archivio_Etichette.pro of kPages pages, every line of every slot filled.
inline void WritePages(const QString& folder) {
    SheetRecordFile file(folder);
    for (int p = 0; p < kPages; ++p) {
        SheetRecord page;
        for (int slot = 1; slot <= label_grid::kSlots; ++slot) {
            page.field[SheetRecord::NameField(slot)] = EncodeShortText(QStringLiteral("Cliente %1").arg(slot));
            for (int line = 1; line <= label_grid::kLines; ++line)
                page.field[SheetRecord::LineField(line, slot)] = EncodeShortText(LineText(p, slot, line));
        }
        file.Append(page);
    }
}

}  // namespace bench_sheets
