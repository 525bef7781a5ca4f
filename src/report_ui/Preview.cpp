#include "report_ui/Preview.h"

#include "ui/WindowFrame.h"
#include "print/engine/Painter.h"
#include "print/engine/Prepared.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace report {
namespace {
constexpr int kGap = 10;  // pixels around and between pages
const QList<int> kZoomPercents = {25, 50, 75, 100, 150, 200, 300};
}  // namespace

PreviewWorkspace::PreviewWorkspace(const std::vector<PreparedPage>& pages, QWidget* parent)
    : QWidget(parent), pages_(pages) {
    SetZoom(1.0);
}

double PreviewWorkspace::Scale() const { return zoom_ * logicalDpiX() / kUnitsPerInch; }

void PreviewWorkspace::SetZoom(double zoom) {
    zoom_ = zoom;
    rendered_.clear();
    int width = 0, height = kGap;
    for (int i = 0; i < PageCount(); ++i) {
        width = std::max(width, PageRect(i).width());
        height += PageRect(i).height() + kGap;
    }
    resize(width + 2 * kGap, height);
    update();
}

QRect PreviewWorkspace::PageRect(int index) const {
    int y = kGap;
    for (int i = 0; i < index; ++i) y += int(std::ceil(pages_[i].PaperHeightUnits() * Scale())) + kGap;
    const PreparedPage& page = pages_[index];
    const int w = int(std::ceil(page.PaperWidthUnits() * Scale())), h = int(std::ceil(page.PaperHeightUnits() * Scale()));
    return QRect(std::max(kGap, (width() - w) / 2), y, w, h);
}

int PreviewWorkspace::PageAt(int y) const {
    for (int i = 0; i < PageCount(); ++i) {
        if (y < PageRect(i).bottom() + kGap) return i;
    }
    return PageCount() - 1;
}

const QImage& PreviewWorkspace::Rendered(int index) {
    auto it = rendered_.find(index);
    if (it != rendered_.end()) return it->second;
    const double ratio = devicePixelRatioF();
    const QSize size = PageRect(index).size();
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawPage(painter, pages_[index], Scale());
    painter.end();
    return rendered_.emplace(index, std::move(image)).first->second;
}

void PreviewWorkspace::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().dark());
    for (int i = 0; i < PageCount(); ++i) {
        const QRect rect = PageRect(i);
        if (rect.intersects(event->rect())) painter.drawImage(rect.topLeft(), Rendered(i));
    }
}

namespace {
// A tool's name as its tooltip, and its keys (told in the guide).
void Keys(QAction* action, const QKeySequence& keys) {
    action->setToolTip(action->text());
    action->setShortcut(keys);
}
}  // namespace

TfrmPreview::TfrmPreview(TrepReport& report, const ProgramFolder& folder, PrintTeller tell, QWidget* owner)
    : QDialog(owner, Qt::Dialog | ui::kTitleOnly), report_(report), folder_(folder), tell_(std::move(tell)) {
    const QString name = report.ReportOptions.Name;
    setWindowTitle(name.isEmpty() ? tr("Preview") : name);
    setWindowState(Qt::WindowMaximized);

    toolbar = new QToolBar;
    const TPreviewButtons buttons = report.PreviewOptions.Buttons;
    if (buttons & pbPrint) {
        // The preview stays open after any print, whatever it came to.
        actPrint = toolbar->addAction(tr("Print"), this,
                                      [this] { tell_(this, Print(report_, folder_, currentPage_, this)); });
        Keys(actPrint, QKeySequence::Print);
    }
    if (buttons & pbZoom) {
        actPageWidth = toolbar->addAction(tr("Page width"), this, &TfrmPreview::ZoomPageWidth);
        Keys(actPageWidth, QKeySequence(Qt::CTRL | Qt::Key_2));
        actWholePage = toolbar->addAction(tr("Whole page"), this, &TfrmPreview::ZoomWholePage);
        Keys(actWholePage, QKeySequence(Qt::CTRL | Qt::Key_0));
        cbZoom = new QComboBox;
        // Editable only to show a zoom that is not in the list (after "Page
        // width" or "Whole page"); the user picks from the list.
        cbZoom->setEditable(true);
        cbZoom->lineEdit()->setReadOnly(true);
        cbZoom->setAccessibleName(tr("Zoom"));
        cbZoom->lineEdit()->setAccessibleName(tr("Zoom"));
        for (int percent : kZoomPercents) cbZoom->addItem(QStringLiteral("%1%").arg(percent), percent / 100.0);
        toolbar->addWidget(cbZoom);
        connect(cbZoom, &QComboBox::activated, this,
                [this](int index) { SetZoom(cbZoom->itemData(index).toDouble()); });
    }
    if (buttons & pbFullScreen) {
        actFullScreen = toolbar->addAction(tr("Full Screen"), this, &TfrmPreview::ToggleFullScreen);
        actFullScreen->setToolTip(tr("Full Screen"));
    }
    if (buttons & pbClose) {
        btnClose = new QToolButton;
        btnClose->setText(tr("Close"));
        btnClose->setToolButtonStyle(Qt::ToolButtonTextOnly);
        toolbar->addWidget(btnClose);
        connect(btnClose, &QToolButton::clicked, this, &QDialog::reject);
    }

    scroll = new QScrollArea;
    scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    workspace = new PreviewWorkspace(report.PreparedPages(), scroll);
    scroll->setWidget(workspace);
    scroll->setAccessibleName(tr("Pages"));
    lblStatus = new QLabel;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(toolbar);
    layout->addWidget(scroll, 1);
    layout->addWidget(lblStatus);
    connect(scroll->verticalScrollBar(), &QScrollBar::valueChanged, this, &TfrmPreview::UpdateStatus);
    SetZoom(report.PreviewOptions.Zoom);
}

void TfrmPreview::SetZoom(double zoom) {
    if (zoom <= 0) return;
    workspace->SetZoom(zoom);
    if (cbZoom) {
        const int index = cbZoom->findData(zoom);
        cbZoom->setCurrentIndex(index);
        if (index < 0) cbZoom->setEditText(QStringLiteral("%1%").arg(std::lround(zoom * 100)));
    }
    UpdateStatus();
}

void TfrmPreview::ZoomPageWidth() {
    if (workspace->PageCount() == 0) return;
    const double width = scroll->viewport()->width() - 2 * kGap;
    SetZoom(width / (report_.PreparedPages()[currentPage_ - 1].PaperWidthUnits() * workspace->Scale() / workspace->Zoom()));
}

void TfrmPreview::ZoomWholePage() {
    if (workspace->PageCount() == 0) return;
    const PreparedPage& page = report_.PreparedPages()[currentPage_ - 1];
    const double unit = workspace->Scale() / workspace->Zoom();
    const double width = scroll->viewport()->width() - 2 * kGap, height = scroll->viewport()->height() - 2 * kGap;
    SetZoom(std::min(width / (page.PaperWidthUnits() * unit), height / (page.PaperHeightUnits() * unit)));
    scroll->verticalScrollBar()->setValue(workspace->PageRect(currentPage_ - 1).top() - kGap);
}

void TfrmPreview::ToggleFullScreen() {
    if (isFullScreen()) {
        showMaximized();
    } else {
        showFullScreen();
    }
}

void TfrmPreview::UpdateStatus() {
    const int count = workspace->PageCount();
    currentPage_ = count == 0 ? 0 : workspace->PageAt(scroll->verticalScrollBar()->value() + kGap) + 1;
    lblStatus->setText(tr("Page %1 of %2").arg(currentPage_).arg(count));
    // The pages are read by the page in view.
    workspace->setAccessibleName(lblStatus->text());
}

void TfrmPreview::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F11) {
        ToggleFullScreen();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace report
