#pragma once
#include "ui/PictureButton.h"

#include <QSize>
#include <QString>

#include <variant>
#include <vector>

class QLabel;
class QWidget;

namespace ui {

class Gradient;
class StatusLine;

// The frame of a work window: a shaded background filling the window, a
// content panel of fixed size centred on it, and the status bar (shpInfo with
// the white text panInfo) along the bottom, with its status line.
struct WorkArea {
    Gradient* background;
    QWidget* content;
    QLabel* panInfo;
    StatusLine* status;
};
WorkArea MakeWorkArea(QWidget* window, QSize content, const QString& statusText);

// The place of the record number label lblPosizione among the commands.
struct RecordNumber {};
// One white group of a command bar: its commands, and the record number if it
// stands there, in their order.
using CommandGroup = std::vector<std::variant<Command, RecordNumber>>;

// Lays the groups out in their order along the top of the content panel and
// registers the commands' status sentences. Returns lblPosizione, or null
// when no group holds it.
QLabel* BuildCommandBar(const WorkArea& area, const std::vector<CommandGroup>& groups);

}  // namespace ui
