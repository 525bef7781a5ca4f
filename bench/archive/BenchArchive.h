#pragma once
// The archive that the benchmarks of the windows reading Archivio_Dati.pro
// share, made once per run, and the application on its folder.
#include "app/Velmora.h"
#include "archive/DataRecord.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

namespace bench_archive {

constexpr int kRecords = 100000;

// A program folder with an archive of 100,000 records: names of two random
// words, a type, six lines and a note; one record, "Zucchi Zeno", sorts last.
class Archive {
public:
    Archive() {
        std::mt19937 random(42);
        const char* words[] = {"Rossi", "Bianchi", "Verdi", "Neri", "Gallo", "Costa", "Fontana", "Conti",
                               "Marino", "Greco", "Bruno", "Ricci", "Lombardi", "Moretti", "Barbieri", "Colombo"};
        auto word = [&] { return QString::fromLatin1(words[random() % 16]); };
        DataRecordFile file(dir_.path());
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
    QString Path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

inline Archive& TheArchive() {
    static Archive archive;
    return archive;
}

inline Velmora& App() {
    static Velmora app{ProgramFolder(TheArchive().Path())};
    return app;
}

// A window that lists the archive, shown and filled on the application, its
// view (viewOf(window)) laid out and painted once; the view must hold a row
// for every record.
template <class Window, class ViewOf>
void ShowFilled(benchmark::State& state, ViewOf viewOf) {
    Velmora& app = App();
    for (auto _ : state) {
        Window window(app, nullptr);
        window.show();
        QApplication::processEvents();
        QAbstractItemView* view = viewOf(window);
        view->viewport()->repaint();
        state.PauseTiming();
        if (view->model()->rowCount() != kRecords) state.SkipWithError("view not filled");
        window.reject();
        state.ResumeTiming();
    }
}

}  // namespace bench_archive
