#pragma once
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

class QLabel;
class QWidget;

namespace ui {

class Gradient;
class PictureButton;
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

// One command picture of a command bar.
struct Command {
    PictureButton*& member;
    const char* name;
    const char* picture;
    QSize size;
    std::function<void()> click;
    const char* sentence;
};

// Lays the commands out along the top of the content panel in white groups
// (groupEnds: the index of each group's last command) and registers their
// status sentences. The record number label lblPosizione stands after the
// command numberAfter; it is returned.
QLabel* BuildCommandBar(const WorkArea& area, const std::vector<Command>& commands,
                        const std::vector<std::size_t>& groupEnds, std::size_t numberAfter);

}  // namespace ui
