#pragma once
#include <vector>

class QString;
class QWidget;

namespace ui {

class PictureButton;

// What assistive technology (a screen reader through the desktop's
// accessibility bus) and the keyboard make of the windows' own widgets:
// - a long-lived window is a frame, a dialog a dialog, both named by caption;
// - a picture command is a push button with its name, its status sentence as
//   description, the press action and the disabled state;
// - a decorative picture is left out of the tree.
// Keys: F6 moves the focus from the window's controls to its commands and
// back; among the commands Tab, Shift+Tab and the arrows move, Space and
// Enter press. In a window whose controls take no focus at all (the
// launcher) Tab reaches the commands as well.
// Installed once, by the application.
void InstallAccessibility();

// The window's commands a user can press now, in reading order: row by row
// from the top, left to right within a row.
std::vector<PictureButton*> CommandsOf(const QWidget* window);

// A picture that repeats a command of the window for the mouse (a launcher
// tile above its button): the keyboard's cycle and the accessible tree leave
// it out, so the command is met and read once.
void MouseOnly(PictureButton* twin);

// Tells a screen reader `text` once the events in hand are handled (a closing
// dialog has given the active window back by then): the active window shows
// a notification holding it, which a screen reader speaks as it appears. Qt
// 6.4 has no announcement event, and a screen reader reads a changed name or
// description of the focused control only as the control itself.
void Announce(const QString& text);

}  // namespace ui
