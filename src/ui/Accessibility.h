#pragma once
#include <vector>

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

}  // namespace ui
