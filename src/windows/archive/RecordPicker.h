#pragma once
#include "ui/WindowFrame.h"
#include "core/archive/PickerItem.h"

#include <QStringList>

#include <memory>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class Velmora;
struct DataRecord;
namespace report {
class TrepReport;
}

// The two record pickers (find and import) are one window: the list of every
// record that has a name, sorted by item text, a search over it, and a pick by
// double-click that hands the chosen record to the window's pick action. A
// small table of differences tells them apart.
class RecordPicker : public ui::Dialog {
public:
    struct Kind {
        const char* caption;
        const char* banner;        // picture of the title lettering in images/
        const QString& summaryTitle;  // title of the printed summary of the list
        bool import;               // has the hidden slot key lblMemory
        // What a pick does with the chosen record and its number (from 1).
        void (*pick)(RecordPicker& picker, const DataRecord& record, long long number);
    };

    RecordPicker(Velmora& app, QWidget* owner, const Kind& kind);
    ~RecordPicker() override;

    QLineEdit* txtTrova;
    QPushButton* btnTrova;
    QListView* lstRecords;
    QPushButton* btnChiudi;
    QPushButton* btnStampa;
    QLabel* lblMemory = nullptr;  // import window only
    // The summary of the list, this window's own copy.
    std::unique_ptr<report::TrepReport> repRiepilogo;

    void btnTrovaClick();
    void lstRecordsDblClick();
    // Prints the summary of the list as it stands (every item, in list order,
    // whatever the search and the selection) through the print dialog. The
    // window stays open; what went wrong is told as every print tells it.
    void btnStampaClick();

    // The item texts in the order the list shows them.
    QStringList ItemTexts() const;
    // The title of this window's printed summary.
    const QString& SummaryTitle() const { return kind_.summaryTitle; }

    Velmora& App() const { return app_; }

protected:
    void FormShow() override;
    void FormClose() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    class List;
    void Pick(const PickerItem& item);

    Velmora& app_;
    const Kind& kind_;
    List* list_;
    // The lowered text of the previous search in this showing, which tells a
    // repeated search from a new one.
    QString lastSearch_;
};
