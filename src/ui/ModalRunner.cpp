#include "ui/ModalRunner.h"

#include <QDialog>

namespace ui {
namespace {
ModalHandler& Handler() {
    static ModalHandler handler;
    return handler;
}
}  // namespace

ModalHandler SetModalHandler(ModalHandler handler) {
    std::swap(Handler(), handler);
    return handler;
}

int RunModal(QDialog& dialog) {
    if (!Handler()) return dialog.exec();
    dialog.setResult(0);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    // The handler may itself open dialogs through RunModal: keep a copy alive.
    ModalHandler handler = Handler();
    handler(dialog);
    if (dialog.isVisible()) dialog.reject();
    return dialog.result();
}

}  // namespace ui
