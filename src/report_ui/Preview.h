#pragma once
#include "print/engine/Model.h"
#include "report_ui/Print.h"

#include <QDialog>

#include <map>

class QComboBox;
class QLabel;
class QScrollArea;
class QToolBar;
class QToolButton;
class QAction;

namespace report {

struct PreparedPage;

// The scrollable workspace: the pages one under another, each rendered when
// it first comes into view, at the screen's device pixel ratio, and kept
// until the zoom changes.
class PreviewWorkspace : public QWidget {
public:
    PreviewWorkspace(const std::vector<PreparedPage>& pages, QWidget* parent);

    double Zoom() const { return zoom_; }
    void SetZoom(double zoom);
    // Pixels per report unit at the current zoom; 100 % is the page's real size.
    double Scale() const;
    // The page's rectangle in the workspace.
    QRect PageRect(int index) const;
    // The index of the page shown at workspace height `y`.
    int PageAt(int y) const;
    int PageCount() const { return int(pages_.size()); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QImage& Rendered(int index);

    const std::vector<PreparedPage>& pages_;
    double zoom_ = 1.0;
    std::map<int, QImage> rendered_;
};

// The preview window: the prepared pages of a report, a toolbar with the
// buttons PreviewOptions names, and "Page %d of %d" in the status line. Its
// texts are written in English and shown through the program's translation
// (translations/velmora_it.ts).
class TfrmPreview : public QDialog {
    Q_OBJECT
public:
    TfrmPreview(TrepReport& report, const ProgramFolder& folder, PrintTeller tell, QWidget* owner = nullptr);

    // Fits the page width or the whole page in the window.
    void ZoomPageWidth();
    void ZoomWholePage();
    void SetZoom(double zoom);
    void ToggleFullScreen();
    int CurrentPage() const { return currentPage_; }  // 1-based

    QToolBar* toolbar;
    QAction* actPrint = nullptr;
    QAction* actPageWidth = nullptr;
    QAction* actWholePage = nullptr;
    QComboBox* cbZoom = nullptr;
    QAction* actFullScreen = nullptr;
    QToolButton* btnClose = nullptr;
    QScrollArea* scroll;
    PreviewWorkspace* workspace;
    QLabel* lblStatus;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void UpdateStatus();
    TrepReport& report_;
    const ProgramFolder& folder_;
    PrintTeller tell_;
    int currentPage_ = 1;
};

}  // namespace report
