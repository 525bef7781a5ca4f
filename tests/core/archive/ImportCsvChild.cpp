// Reads a CSV file as velmora-batch import does, in a fresh process whose
// address space may grow by a budget beyond what it starts with:
//   velmora-import-child FILE BUDGET_MIB
// Prints what the import told, a line each: its first error, its first
// warning, its summary and its ignored columns. Exit status 2 when
// std::bad_alloc escaped the import.
#include "core/archive/ImportCsv.h"

#include <QTextStream>

#include <cstdio>
#include <new>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The address space this process holds now.
rlim_t AddressSpace() {
    unsigned long pages = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%lu", &pages) != 1) pages = 0;
        std::fclose(statm);
    }
    return static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
}

// The first of the notices, described, or "" when there is none.
template <typename Notices>
QString First(const Notices& notices) {
    for (const csv_import::Notice& notice : notices) return notice.Describe();
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 3;
    const rlim_t budget = static_cast<rlim_t>(std::stoul(argv[2])) << 20;
    const rlimit limit{AddressSpace() + budget, AddressSpace() + budget};
    if (setrlimit(RLIMIT_AS, &limit) != 0) return 3;
    try {
        const csv_import::Import import = csv_import::ReadFile(QString::fromLocal8Bit(argv[1]), false);
        QTextStream(stdout) << First(import.errors) << "\n"
                            << First(import.warnings) << "\n"
                            << import.Summary() << "\n"
                            << import.ignoredColumns.join(QStringLiteral(", ")) << "\n";
    } catch (const std::bad_alloc&) {
        return 2;
    }
    return 0;
}
