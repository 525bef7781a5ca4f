#pragma once
#include "print/printers/Printers.h"

#include <QPageLayout>

#include <memory>

namespace report {

// The paper of a prepared page, as the spooler is told it: its size, its
// orientation and no margins (the page is drawn from the paper's corner).
QPageLayout PaperOf(const PreparedPage& page);

// The printers of the operating system, as its spooler offers them. One side
// per system, each in a folder of its own (cups/, win32/), which CMake picks.
std::unique_ptr<PrinterSystem> SystemPrinters();

}  // namespace report
