// CSV files made to hurt the import: whatever their shape, the read holds a
// small multiple of the file and returns, and running out of memory is told
// with the file and the line. Each read runs in a child process whose address
// space is limited, so that a read that would take too much fails there.
#include "core/archive/ImportCsv.h"

#include "support/TempFolder.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <new>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ci = csv_import;
using testing_support::TempFolder;

namespace {

constexpr std::size_t kMiB = 1 << 20;

// The address space this process holds now.
std::size_t AddressSpace() {
    unsigned long pages = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%lu", &pages) != 1) pages = 0;
        std::fclose(statm);
    }
    return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// Runs body in a child process that may take `budget` bytes of address space
// beyond what it starts with; its exit status (2 when std::bad_alloc escaped
// it, 128 and the signal when one ended it).
int InChild(std::size_t budget, const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const rlimit limit{AddressSpace() + budget, AddressSpace() + budget};
        int status = 3;
        if (setrlimit(RLIMIT_AS, &limit) == 0) {
            try {
                status = body();
            } catch (const std::bad_alloc&) {
                std::fprintf(stderr, "std::bad_alloc escaped the import\n");
                status = 2;
            }
        }
        std::fflush(nullptr);
        _exit(status);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The first notice of a kind, described, or "" when there is none.
QString First(const ci::Import& import, bool errors) {
    for (const ci::Notice& notice : errors ? import.errors : import.warnings) return notice.Describe();
    return {};
}

// Whatever a file's shape, reading it takes a few hundred MB at most: a row of
// 2,000,000 cells beyond its header's one (4 MB) is refused with its first
// error, a million rows with a warning each are read with all of them counted,
// a header of 2,000,000 columns is read and lists the first hundred it ignores.
TEST(ImportCsvHostile, AnyShapeStaysWithinAFewHundredMegabytes) {
    struct Case {
        const char* what;
        QByteArray bytes;
        QString firstError;
        QString firstWarning;
        QString summary;  // when the file is read
        QString ignored;  // the ignored columns as they are listed
    };
    const Case cases[] = {
        {"a row of 2,000,000 extra cells", "Nome\nRossi" + QByteArray(",x").repeated(2000000) + "\n",
         "riga 2, colonna 2: la riga ha più celle dell'intestazione (1)",
         "riga 1: manca la colonna del tipo (Tipo): le schede saranno senza tipo", "", ""},
        {"1,000,000 rows with a warning each", "Nome,Tipo,Rigo 1\n" + QByteArray(",t,via\n").repeated(1000000), "",
         "riga 2: scheda senza nome: non comparirà nella ricerca", "1000000 schede da importare, 1000000 avvisi", ""},
        {"a header of 2,000,000 columns", QByteArray("x,").repeated(2000000) + "Nome,Tipo,Rigo 1\n" +
                                              QByteArray(",").repeated(2000000) + "Rossi,t,via\n", "",
         "", "1 scheda da importare, 0 avvisi", QStringLiteral("x, ").repeated(100) + "… e altre 1999900"},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        dir.Write(QStringLiteral("ostile.csv"), c.bytes);
        const int status = InChild(256 * kMiB, [&] {
            const ci::Import import = ci::ReadFile(dir.File(QStringLiteral("ostile.csv")), false);
            const bool read = c.firstError.isEmpty();
            const bool as = First(import, true) == c.firstError && First(import, false) == c.firstWarning &&
                            (!read || import.Summary() == c.summary) &&
                            import.ignoredColumns.join(QStringLiteral(", ")) == c.ignored;
            if (!as)
                std::fprintf(stderr, "%s\n%s\n%s\n%s\n", qPrintable(First(import, true)), qPrintable(First(import, false)),
                             qPrintable(import.Summary()), qPrintable(import.ignoredColumns.join(u',').left(300)));
            return as ? 0 : 1;
        });
        EXPECT_EQ(status, 0) << c.what;
    }
}

// Memory that runs out in the middle of a file refuses the import with one
// error that names the file and the line being read, and takes back what the
// read held.
TEST(ImportCsvHostile, RunningOutOfMemoryNamesTheFileAndTheLine) {
    QByteArray bytes = "Nome;Tipo;Rigo 1;Rigo 2;Rigo 3;Rigo 4;Rigo 5;Rigo 6;Note\n";
    const QByteArray row = QByteArray("Niccolò Bàrberi;Indirizzo postale;").repeated(4) + "Via della Città 3\n";
    bytes += row.repeated(200000);  // about 40 MB of packed rows
    TempFolder dir;
    const QString path = dir.File(QStringLiteral("righe.csv"));
    dir.Write(QStringLiteral("righe.csv"), bytes);
    const QRegularExpression expected(
        QStringLiteral("^Impossibile importare %1: memoria insufficiente durante la lettura della riga (\\d+)$")
            .arg(QRegularExpression::escape(path)));
    const int status = InChild(16 * kMiB, [&] {
        const ci::Import import = ci::ReadFile(path, false);
        const QRegularExpressionMatch match = expected.match(First(import, true));
        // The line lies past the first rows and within the file; nothing else is kept.
        const long long line = match.hasMatch() ? match.captured(1).toLongLong() : 0;
        const bool told = line > 2 && line <= 200001 && import.rows.empty() && First(import, false).isEmpty();
        if (!told) std::fprintf(stderr, "%s\n", qPrintable(First(import, true)));
        return told ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
}

}  // namespace
