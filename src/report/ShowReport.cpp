#include "report/ShowReport.h"

#include "app/ui/ModalRunner.h"
#include "report/Preview.h"
#include "report/Prepared.h"

namespace report {

PrepareResult ShowReport(TrepReport& report, bool clearLast, const PrintTeller& tell, QWidget* owner) {
    PrepareResult prepared = report.PrepareReport(clearLast);
    if (!prepared) return prepared;
    TfrmPreview preview(report, tell, owner);
    ui::RunModal(preview);
    return prepared;
}

}  // namespace report
