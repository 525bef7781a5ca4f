#pragma once
#include "print/engine/Model.h"
#include "print/printers/Printers.h"

#include <functional>

class ProgramFolder;
class QWidget;

namespace report {

// Prints the pages the report prepared last: through the print dialog when
// its print options say so (a print to file asks for the file too, never one
// of `folder`'s own), as the options stand otherwise. Cancelling is an
// outcome like the others; nothing is shown to the user but the dialogs and
// what they say about the choices made in them.
// `currentPage` (1-based) is what the dialog's "Current page" means.
PrintOutcome Print(TrepReport& report, const ProgramFolder& folder, int currentPage = 1, QWidget* owner = nullptr);

// Tells the user what a print came to; the preview calls it after its print
// button. Supplied by the program's windows.
using PrintTeller = std::function<void(QWidget* window, const PrintOutcome& outcome)>;

}  // namespace report
