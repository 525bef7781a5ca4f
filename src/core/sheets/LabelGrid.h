#pragma once
#include <QRectF>
#include <QString>

// The label grid of a sheet: labels in columns and rows on an A4 portrait
// page, numbered as slots row by row from the top left, each with its lines
// of text. Every number of the grid is here; the template, the page record,
// the sheet window and the import picker derive places, counts and names from
// it. Places are in millimetres, measured from the corner of the area inside
// the page margins; the template turns them into report units.
namespace label_grid {

constexpr int kColumns = 3;
constexpr int kRows = 8;
constexpr int kSlots = kColumns * kRows;
constexpr int kLines = 6;

// Millimetres.
constexpr double kMargin = 10.0;  // all four page margins: the grid's origin on the paper
constexpr double kColumnPitch = 64.0;
constexpr double kRowPitch = 35.0;
constexpr double kLabelWidth = 62.0;
constexpr double kLabelHeight = 32.0;
// The box of each line: inset from the label's left and top edges, one under
// the other. The first row's lines stand a little higher than the others'.
constexpr double kLineInset = 2.0;
constexpr double kFirstRowRaise = 0.2;
constexpr double kLineWidth = 58.2;
constexpr double kLineHeight = 3.5;
constexpr double kLinePitch = 5.0;

// Row and column (from 1) of slot 1 .. kSlots, and the slot at a row and column.
constexpr int Row(int slot) { return (slot - 1) / kColumns + 1; }
constexpr int Column(int slot) { return (slot - 1) % kColumns + 1; }
constexpr int Slot(int row, int column) { return (row - 1) * kColumns + column; }

// The label of a slot, and the box of its line 1 .. kLines.
constexpr QRectF LabelRectMm(int slot) {
    return {kColumnPitch * (Column(slot) - 1), kRowPitch * (Row(slot) - 1), kLabelWidth, kLabelHeight};
}
constexpr QRectF LineRectMm(int slot, int line) {
    const double firstLine = Row(slot) == 1 ? kLineInset - kFirstRowRaise : kLineInset;
    return {LabelRectMm(slot).left() + kLineInset, LabelRectMm(slot).top() + firstLine + kLinePitch * (line - 1),
            kLineWidth, kLineHeight};
}

// A number of a name in two digits ("01"); slots and lines are named with them.
QString TwoDigits(int n);
// "_E01" .. : the suffix of every control and template object of a slot.
QString SlotSuffix(int slot);
// "txtRigo01_E01" .. : the name of line L of slot n, in the template and in
// the sheet window's hidden line labels.
QString LineName(int line, int slot);
// "etichetta_E01" .. : the key by which the sheet window tells the import
// picker which slot to fill, and back (0 for no slot).
QString SlotKey(int slot);
int SlotOfKey(const QString& key);

}  // namespace label_grid
