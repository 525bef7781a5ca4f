#pragma once
// The archive of 100,000 records the benchmarks share: names of two random
// words, a type, six lines and a note; one record, "Zucchi Zeno", sorts last.
#include "core/archive/DataRecord.h"

#include <QString>

#include <random>

namespace bench_archive {

constexpr int kRecords = 100000;

inline void WriteRecords(const QString& folder) {
    std::mt19937 random(42);
    const char* words[] = {"Rossi", "Bianchi", "Verdi", "Neri", "Gallo", "Costa", "Fontana", "Conti",
                           "Marino", "Greco", "Bruno", "Ricci", "Lombardi", "Moretti", "Barbieri", "Colombo"};
    auto word = [&] { return QString::fromLatin1(words[random() % 16]); };
    DataRecordFile file(folder);
    DataRecord record;
    for (int i = 0; i < kRecords; ++i) {
        const bool last = i == kRecords / 2;
        record.SetText(DataRecord::Nome, last ? QStringLiteral("Zucchi Zeno")
                                              : word() + QLatin1Char(' ') + word() + QString::number(i));
        record.SetText(DataRecord::Tipo, QStringLiteral("Etichetta postale"));
        for (int line = 1; line <= 6; ++line)
            record.SetText(DataRecord::Rigo(line), QStringLiteral("Via %1, %2").arg(word()).arg(line));
        record.SetText(DataRecord::Note, QStringLiteral("Cliente dal %1").arg(2000 + i % 25));
        file.Append(record);
    }
}

}  // namespace bench_archive
