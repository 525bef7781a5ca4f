#pragma once
#include <functional>
#include <utility>

class QDialog;

// The one way a dialog is run modally: every window, file dialog and print
// dialog passes through RunModal. Tests install a handler that acts on the
// dialog (types, picks, presses a button) and returns, so a whole user path
// runs synchronously.
namespace ui {

int RunModal(QDialog& dialog);

// Creates a dialog for one use, runs it modally and destroys it.
template <class Dialog, class... Args>
int OpenDialog(Args&&... args) {
    Dialog dialog(std::forward<Args>(args)...);
    return RunModal(dialog);
}

// The handler gets the dialog already shown; when it returns with the dialog
// still open, the dialog is rejected. An empty handler restores exec().
using ModalHandler = std::function<void(QDialog&)>;
ModalHandler SetModalHandler(ModalHandler handler);

}  // namespace ui
