#pragma once
#include "print/printers/Printers.h"

#include <memory>

namespace report {

// The printers of the operating system, as its spooler offers them. One side
// per system, each in a folder of its own (cups/), which CMake picks.
std::unique_ptr<PrinterSystem> SystemPrinters();

}  // namespace report
