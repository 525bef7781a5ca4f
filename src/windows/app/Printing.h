#pragma once
#include "print/engine/Model.h"
#include "print/printers/Printers.h"

class ProgramFolder;
class QWidget;

// The windows' side of printing: the report layer says what happened, these
// tell the user in the program's words. Preparation errors and the two
// refusals (no printer installed, the printer not valid) get their boxes, a
// failure of the printer or the spooler goes to the general error report,
// and a print done or cancelled shows nothing (a print done is announced to a
// screen reader).
namespace printing {

void Tell(QWidget* window, const report::PrepareResult& result);
void Tell(QWidget* window, const report::PrintOutcome& outcome);

// Prepares the report again and opens the preview on it; false when the
// preparation failed. A print to file never goes into one of `folder`'s files.
bool Preview(QWidget* window, const ProgramFolder& folder, report::TrepReport& report);

// Prints the pages the report prepared last, through the print dialog.
report::PrintOutcome Print(QWidget* window, const ProgramFolder& folder, report::TrepReport& report);

}  // namespace printing
