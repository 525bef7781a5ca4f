#pragma once
#include "core/sheets/Calibration.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// The report model: a tree of pages, bands, text objects and shapes, in report
// units of 1/96 inch. Paper sizes and margins are in millimetres.
//
// The preview is always modal and maximised, text is always printed
// literally, no progress window is ever shown, the paper is given by its size
// in millimetres and a frame is always 1 unit wide.
namespace report {

constexpr double kUnitsPerInch = 96.0;
constexpr double kUnitsPerMm = kUnitsPerInch / 25.4;
constexpr double MmToUnits(double mm) { return mm * kUnitsPerMm; }
constexpr double UnitsToMm(double units) { return units / kUnitsPerMm; }
// A font height in units (negative, as stored) for a size in points, and back.
constexpr double PointsToHeight(double points) { return -points * kUnitsPerInch / 72.0; }
constexpr double HeightToPoints(double height) { return (height < 0 ? -height : height) * 72.0 / kUnitsPerInch; }

// The named colours of the templates. An invalid QColor is transparent.
inline const QColor claBlack{0, 0, 0};
inline const QColor claWhite{255, 255, 255};
inline const QColor claSlategray{112, 128, 144};
inline const QColor claLightyellow{255, 255, 224};
inline const QColor claBrown{165, 42, 42};

enum TFontStyle { fsNone = 0, fsBold = 1 };

struct TrepFont {
    QString Name = QStringLiteral("Arial");
    double Height = PointsToHeight(10);  // units, negative
    int Style = fsNone;
    QColor Color = claBlack;
};

struct TrepFrame {
    QColor Color = claBlack;
};

enum THAlign { haLeft, haCenter };
enum TPrinterOrientation { poPortrait, poLandscape };
enum TDuplexMode { dmDefault, dmVertical, dmHorizontal, dmSimplex };

enum TPreviewButton {
    pbPrint = 1 << 0, pbLoad = 1 << 1, pbSave = 1 << 2, pbExport = 1 << 3, pbZoom = 1 << 4,
    pbFullScreen = 1 << 5, pbOutline = 1 << 6, pbThumbnails = 1 << 7, pbPageSetup = 1 << 8,
    pbEdit = 1 << 9, pbNavigator = 1 << 10, pbClose = 1 << 11,
};
using TPreviewButtons = int;
constexpr TPreviewButtons kAllPreviewButtons = (1 << 12) - 1;

// Every node of the tree. Children are owned and kept in template order.
class TrepComponent {
public:
    explicit TrepComponent(QString name = {}) : Name(std::move(name)) {}
    virtual ~TrepComponent() = default;
    TrepComponent(const TrepComponent&) = delete;
    TrepComponent& operator=(const TrepComponent&) = delete;

    QString Name;

    // Adds a child at the end and returns it.
    template <class T, class... Args>
    T& Add(Args&&... args) {
        auto child = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *child;
        children_.push_back(std::move(child));
        return ref;
    }
    const std::vector<std::unique_ptr<TrepComponent>>& Children() const { return children_; }

    // The first component of this subtree, depth first in template order,
    // whose name equals `name` ignoring the case of ASCII letters.
    TrepComponent* FindObject(const QString& name);

private:
    std::vector<std::unique_ptr<TrepComponent>> children_;
};

// An object placed on a page or in a band.
class TrepView : public TrepComponent {
public:
    using TrepComponent::TrepComponent;
    double Left = 0, Top = 0, Width = 0, Height = 0;
    QColor Color;  // fill; invalid = transparent
    TrepFrame Frame;
};

class TrepMemoView : public TrepView {
public:
    using TrepView::TrepView;
    TrepFont Font;
    THAlign HAlign = haLeft;
    bool WordWrap = true;

    const QStringList& Memo() const { return memo_; }
    // Replaces every line with `text`, split at its line breaks.
    void SetText(const QString& text);
    void Clear() { memo_.clear(); }
    void Add(const QString& line) { memo_.append(line); }
    int Count() const { return int(memo_.size()); }

private:
    QStringList memo_;
};

// A rectangle: filled with Color, outlined in Frame.Color.
class TrepShapeView : public TrepView {
public:
    using TrepView::TrepView;
};

class TrepBand : public TrepComponent {
public:
    using TrepComponent::TrepComponent;
    double Top = 0, Width = 0, Height = 0;
};
class TrepReportTitle : public TrepBand {
public:
    using TrepBand::TrepBand;
};
class TrepMasterData : public TrepBand {
public:
    using TrepBand::TrepBand;
    int RowCount = 1;
    bool AllowSplit = false;
};
class TrepFooter : public TrepBand {
public:
    using TrepBand::TrepBand;
};

class TrepPage : public TrepComponent {
public:
    using TrepComponent::TrepComponent;
};

// Holds data sources in the designer; never printed.
class TrepDataPage : public TrepPage {
public:
    using TrepPage::TrepPage;
    double Width = 1000, Height = 1000;
};

class TrepReportPage : public TrepPage {
public:
    using TrepPage::TrepPage;
    double PaperWidth = 210, PaperHeight = 297;  // mm
    double LeftMargin = 0, RightMargin = 0, TopMargin = 0, BottomMargin = 0;  // mm
    TrepFont Font;

    TPrinterOrientation Orientation() const { return orientation_; }
    // Turning the page swaps width and height and turns the margins with it.
    void SetOrientation(TPrinterOrientation orientation);

private:
    TPrinterOrientation orientation_ = poPortrait;
};

struct TrepReportOptions {
    QString Name;
};
struct TrepPreviewOptions {
    TPreviewButtons Buttons = kAllPreviewButtons;
    double Zoom = 1.0;
};
struct TrepPrintOptions {
    QString Printer = QStringLiteral("Default");
    int Copies = 1;
    bool Collate = true;
    bool ShowDialog = true;
    QString PageNumbers;
    TDuplexMode Duplex = dmDefault;
    // The calibration of the printer a print goes to, asked for when the
    // printer is known; none when not set (the report prints as designed).
    std::function<calibration::Calibration(const QString& printer)> Calibration;
};

struct PreparedPage;

// What a preparation came to: the errors it found, none when it laid the
// pages out. True when there were none.
struct PrepareResult {
    QStringList errors;
    explicit operator bool() const { return errors.isEmpty(); }
};

// The template root. Pages()[0] is the data page, Pages()[1] the printable one.
class TrepReport : public TrepComponent {
public:
    explicit TrepReport(QString name = {});
    ~TrepReport() override;

    TrepReportOptions ReportOptions;
    TrepPreviewOptions PreviewOptions;
    TrepPrintOptions PrintOptions;

    // The page at `index` (0 the data page), null when there is none.
    TrepPage* Pages(int index) const;
    // The printable page at index 1, null when the report has none.
    TrepReportPage* ReportPage() const;

    // Lays the template out into prepared pages; with clearLast the pages of
    // the last preparation are discarded first. On errors nothing is added and
    // the result lists them; the caller decides what the user is told.
    PrepareResult PrepareReport(bool clearLast = true);
    const std::vector<PreparedPage>& PreparedPages() const { return prepared_; }

private:
    std::vector<PreparedPage> prepared_;
};

// The root of a template as the program's templates start: the report
// (component `component`, caption `name`) printed on the default printer, its
// data page, and a portrait A4 printable page `pageName` with the same margin,
// in mm, on all four sides.
std::unique_ptr<TrepReport> NewA4Report(const QString& component, const QString& name, const QString& pageName,
                                        double margin);

// FindObject with a cast; null when the name is missing or of another kind.
template <class T>
T* FindObjectAs(TrepComponent& root, const QString& name) {
    return dynamic_cast<T*>(root.FindObject(name));
}

}  // namespace report
