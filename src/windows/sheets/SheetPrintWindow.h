#pragma once
#include "ui/WindowFrame.h"
#include "print/engine/Model.h"
#include "print/templates/LabelSheet.h"

#include <functional>
#include <memory>

class ProgramFolder;
class QPushButton;

// The three small windows that put a label sheet on paper share this one
// window: the sheet preview and the sheet print of the label sheet window,
// and the single-record preview of the data archive window. A small table
// tells them apart; each owns its own copy of the label sheet template.
class SheetPrintWindow : public ui::Dialog {
public:
    struct Kind {
        const char* caption;
        const char* button;  // the text of btnStampa
        const QString& reportName;
        bool preview;        // the preview window, or straight to the print dialog
    };
    using Source = std::function<label_sheet::Lines()>;

    // A print to file never goes into one of `folder`'s files.
    SheetPrintWindow(QWidget* owner, const Kind& kind, const ProgramFolder& folder, Source source);
    ~SheetPrintWindow() override;

    QPushButton* btnAnnulla;
    QPushButton* btnStampa;
    std::unique_ptr<report::TrepReport> repDocumento;

    // Fills the sheet from the source, prepares it, shows the preview or
    // prints, then closes; what went wrong is told as every print tells it.
    void btnStampaClick();

private:
    const Kind& kind_;
    const ProgramFolder& folder_;
    Source source_;
};
