#include "ui/ModalRunner.h"

#include <QAbstractItemView>
#include <QCompleter>
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
    if (!Handler()) {
        const int result = dialog.exec();
        // A completion list still open when the dialog was accepted by Enter
        // (a file dialog's name box) would stay over the owner and take its
        // next click.
        for (QCompleter* completer : dialog.findChildren<QCompleter*>())
            if (completer->popup()) completer->popup()->hide();
        return result;
    }
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
