#pragma once
#include "print/engine/Model.h"

#include <QString>

#include <array>
#include <memory>

// The envelope: an A4 page with no margins of its own and six one-line text
// objects txtRigo01 .. txtRigo06, 90 mm wide and 5 mm apart, the first at
// 119 mm from the left and 57 mm from the top. The page's margins move the
// whole address. The envelope window and the batch tool each build their own
// copy and fill it through FillAndPrepare.
namespace envelope {

constexpr int kLines = 6;
using Lines = std::array<QString, kLines>;

inline const QString kReportName = QStringLiteral("Indirizzo su Busta");

// Where the address goes: the page turned or not, and the top and left
// margins in millimetres (of either sign).
struct Placement {
    bool landscape = false;
    double topMm = 0;
    double leftMm = 0;
};

std::unique_ptr<report::TrepReport> Build();

// The name of the text object of line L (1 .. 6): "txtRigo01".
QString LineObject(int line);

// Fills and prepares an envelope: the page's orientation, then its top and
// left margins, each line into its text object with blanks and control
// characters trimmed, then a fresh preparation of its one page. The one
// routine behind every printed envelope.
report::PrepareResult FillAndPrepare(report::TrepReport& envelope, const Placement& placement, const Lines& lines);

}  // namespace envelope
