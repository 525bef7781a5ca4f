#pragma once
#include "app/ui/WindowFrame.h"

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class Velmora;

// The two record pickers (find and import) are one window; a small table of
// differences tells them apart.
class RecordPicker : public ui::Dialog {
public:
    struct Kind {
        const char* caption;
        const char* summaryTitle;
        bool import;
    };

    RecordPicker(Velmora& app, QWidget* owner, const Kind& kind);

    QLineEdit* txtTrova;
    QPushButton* btnTrova;
    QListView* lstRecords;
    QPushButton* btnChiudi;
    QPushButton* btnStampa;
    QLabel* lblMemory = nullptr;  // import window only

protected:
    Velmora& app_;
    const Kind& kind_;
};
