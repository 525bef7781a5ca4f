#pragma once
#include "print/engine/Model.h"
#include "report_ui/Print.h"

class QWidget;

namespace report {

// Prepares the report again and opens the preview window on its pages; the
// preview's print button prints as Print does, never into one of `folder`'s
// own files, and tells its outcome through `tell`. A preparation with errors
// opens nothing and returns them.
PrepareResult ShowReport(TrepReport& report, const ProgramFolder& folder, bool clearLast, const PrintTeller& tell,
                         QWidget* owner = nullptr);

}  // namespace report
