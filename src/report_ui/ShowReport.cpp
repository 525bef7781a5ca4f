#include "report_ui/ShowReport.h"

#include "ui/ModalRunner.h"
#include "report_ui/Preview.h"
#include "print/engine/Prepared.h"

namespace report {

PrepareResult ShowReport(TrepReport& report, const ProgramFolder& folder, bool clearLast, const PrintTeller& tell,
                         QWidget* owner) {
    PrepareResult prepared = report.PrepareReport(clearLast);
    if (!prepared) return prepared;
    TfrmPreview preview(report, folder, tell, owner);
    ui::RunModal(preview);
    return prepared;
}

}  // namespace report
