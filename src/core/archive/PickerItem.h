#pragma once
#include <QString>
#include <QStringView>

#include <vector>

#include "core/archive/DataRecord.h"

// The rules of the record pickers' list: the text by which a record is listed
// and identified, the order of the list and one step of its search.

// One row of a picker list: its item text and the number (from 1) of the
// record it came from.
struct PickerItem {
    QString text;
    long long number = 0;
};

// The item text: the name padded or cut to 40 characters, "  Tipo: ", the type
// padded or cut to 28, "  Note: ", the whole note. The fields come trimmed.
QString PickerItemText(const QString& nome, const QString& tipo, const QString& note);
QString PickerItemText(const DataRecord& record);

// The list's order: character by character on the code values, with the
// letters a-z taken as A-Z and no other folding.
bool PickerItemBefore(QStringView a, QStringView b);

// Sorts the rows in the list's order; rows with equal texts keep their order.
void SortPickerItems(std::vector<PickerItem>& items);

// Appends one row for every record of the open archive whose name is not
// blank, in file order. Throws FileError; the rows read before the failure
// stay in items.
void ReadPickerItems(DataRecordFile& file, std::vector<PickerItem>& items);

// True when the item text holds the lowered search text as a contiguous piece,
// the item's letters A-Z taken as a-z. An empty search text matches nothing.
bool PickerItemMatches(QStringView item, QStringView lowered);

// One press of Trova on the rows in list order. current is the index of the
// current row (-1 for none, taken as the first); lastSearch is the lowered
// text of this picker kind's previous search, which tells a repeated search
// (go on after the current row, wrapping round) from a new one (start at the
// first row); it becomes the typed text lowered (A-Z only). Returns the index
// that is current afterwards: the matching row, or else the current one.
// There must be at least one row.
int PickerSearchStep(const std::vector<PickerItem>& items, int current, const QString& typed,
                     QString& lastSearch);
