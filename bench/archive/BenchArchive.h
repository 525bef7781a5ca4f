#pragma once
// The archive that the benchmarks of the windows reading Archivio_Dati.pro
// share, made once per run, and the application on its folder.
#include "BenchRecords.h"

#include "windows/app/Velmora.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace bench_archive {

// A program folder with the benchmarks' archive of 100,000 records.
class Archive {
public:
    Archive() { WriteRecords(dir_.path()); }
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
