#include "windows/archive/RecordPicker.h"

#include "windows/app/Printing.h"
#include "core/folder/ProgramFolder.h"
#include "core/folder/TextRules.h"
#include "windows/app/Velmora.h"
#include "windows/archive/ArchiveBox.h"
#include "ui/EnterCycle.h"
#include "ui/Gradient.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"
#include "core/archive/DataRecord.h"
#include "print/templates/Riepilogo.h"
#include "print/engine/Model.h"

#include <QAbstractListModel>
#include <QAccessible>
#include <QBrush>
#include <QDateTime>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <exception>
#include <optional>
#include <utility>

namespace {

constexpr int kItemWidth = 1600;

// The items' look, the same whatever the list's theme: black Courier New 12,
// a fixed-pitch font so that the columns line up (where Courier New is
// missing, fontconfig gives its metric twin Liberation Mono).
QFont ItemFont() {
    QFont font(QStringLiteral("Courier New"), 12);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}


// The list's current record read by a screen reader whenever the list takes
// the focus: the view tells of its current item only when it changes.
class ReadCurrentOnFocus : public QObject {
public:
    explicit ReadCurrentOnFocus(QListView* list) : QObject(list), list_(list) { list->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        // After the list's own focus event, which the view sends once the
        // focus has moved.
        if (event->type() == QEvent::FocusIn)
            QTimer::singleShot(0, list_, [list = list_] {
                if (!list->hasFocus() || !list->currentIndex().isValid()) return;
                QAccessibleEvent focus(list, QAccessible::Focus);
                focus.setChild(list->currentIndex().row());
                QAccessible::updateAccessibility(&focus);
            });
        return false;
    }

private:
    QListView* list_;
};

// Closes the window through the pick whenever the list is double-clicked,
// on an item or not.
class DoubleClick : public QObject {
public:
    DoubleClick(QWidget* watched, RecordPicker* picker) : QObject(picker), picker_(picker) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonDblClick ||
            static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return false;
        picker_->lstRecordsDblClick();
        return true;
    }

private:
    RecordPicker* picker_;
};

}  // namespace

// The rows of lstRecords: item text and record number, in the list's order.
class RecordPicker::List : public QAbstractListModel {
public:
    explicit List(QObject* parent)
        : QAbstractListModel(parent),
          font_(ItemFont()),
          size_(kItemWidth, QFontMetrics(font_).lineSpacing() + 2) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(items_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        switch (role) {
        case Qt::DisplayRole: return items_[static_cast<std::size_t>(index.row())].text;
        case Qt::FontRole: return font_;
        case Qt::ForegroundRole: return QBrush(Qt::black);
        case Qt::SizeHintRole: return size_;
        default: return {};
        }
    }

    void Reset(std::vector<PickerItem> items) {
        beginResetModel();
        items_ = std::move(items);
        endResetModel();
    }

    const std::vector<PickerItem>& Items() const { return items_; }

private:
    std::vector<PickerItem> items_;
    QFont font_;
    QSize size_;
};

RecordPicker::RecordPicker(Velmora& app, QWidget* owner, const Kind& kind)
    : ui::Dialog(owner, QString::fromUtf8(kind.caption), QSize(862, 560), ui::Centre::Screen),
      repRiepilogo(summary::Build()),
      app_(app),
      kind_(kind),
      list_(new List(this)) {
    auto* background = new ui::Gradient(QStringLiteral("bkgSfondo"), ui::colour::kSteelBlue, ui::colour::kWhite, this);
    background->setGeometry(0, 0, 862, 560);

    auto* imgLogo = new ui::Picture(QStringLiteral("imgLogo"), QString::fromLatin1(kind.banner), QSize(820, 64), this);
    imgLogo->move(20, 10);
    auto* icoIstruzioni = new ui::Picture(QStringLiteral("icoIstruzioni"), QStringLiteral("picker_istruzioni"),
                                          QSize(822, 44), this);
    icoIstruzioni->move(20, 80);

    auto* shpSfondo = new ui::Gradient(QStringLiteral("shpSfondo"), ui::colour::kLightBlue, ui::colour::kSteelBlue, this);
    shpSfondo->setGeometry(20, 130, 822, 52);
    auto* shpLente = new ui::Gradient(QStringLiteral("shpLente"), ui::colour::kWhite, ui::colour::kWhite, this);
    shpLente->setGeometry(30, 136, 40, 40);
    auto* imgLente = new ui::Picture(QStringLiteral("imgLente"), QStringLiteral("picker_lente"), QSize(32, 32), this);
    imgLente->move(34, 140);

    txtTrova = new QLineEdit(this);
    txtTrova->setObjectName(QStringLiteral("txtTrova"));
    txtTrova->setFont(QFont(QStringLiteral("Verdana"), 12, QFont::Bold));
    txtTrova->setGeometry(80, 138, 600, 36);
    txtTrova->setAccessibleName(QStringLiteral("Parole da cercare"));
    // The words are sought as the archive spells them: "Łukasz" finds "Lukasz".
    KeepArchivable(txtTrova, nullptr);
    btnTrova = ui::NewButton(QStringLiteral("btnTrova"), QStringLiteral("Trova"), QRect(700, 138, 130, 36), this);

    auto* shpLista = new ui::Gradient(QStringLiteral("shpLista"), ui::colour::kSteelBlue, ui::colour::kLightBlue, this);
    shpLista->setGeometry(20, 190, 822, 296);
    lstRecords = new QListView(this);
    lstRecords->setObjectName(QStringLiteral("lstRecords"));
    lstRecords->setGeometry(30, 198, 801, 280);
    lstRecords->setModel(list_);
    lstRecords->setUniformItemSizes(true);
    lstRecords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstRecords->setSelectionMode(QAbstractItemView::SingleSelection);
    lstRecords->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lstRecords->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lstRecords->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    auto* lblRigo03 = new QLabel(QStringLiteral("Fare doppio clic su una voce in elenco per richiamare la scheda"), this);
    lblRigo03->setObjectName(QStringLiteral("lblRigo03"));
    lblRigo03->setFont(QFont(QStringLiteral("Verdana"), 10, QFont::Bold));
    lblRigo03->setStyleSheet(QStringLiteral("color: %1;").arg(ui::colour::kCrimson.name()));
    lblRigo03->setAlignment(Qt::AlignCenter);
    lblRigo03->setGeometry(20, 490, 822, 24);
    lstRecords->setAccessibleName(QStringLiteral("Schede in archivio"));
    lstRecords->setAccessibleDescription(lblRigo03->text() + QStringLiteral(", o premere Invio"));

    btnChiudi = ui::NewButton(QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"), QRect(30, 518, 130, 34), this);
    btnStampa = ui::NewButton(QStringLiteral("btnStampa"), QStringLiteral("Stampa"), QRect(701, 518, 130, 34), this);

    // Enter presses the button that has the focus, never a default one.
    for (QPushButton* button : {btnTrova, btnChiudi, btnStampa}) button->setAutoDefault(false);

    if (kind.import) {
        lblMemory = new QLabel(QStringLiteral("lblMemory"), this);
        lblMemory->setObjectName(QStringLiteral("lblMemory"));
        lblMemory->hide();
    }

    setTabOrder(txtTrova, lstRecords);
    setTabOrder(lstRecords, btnStampa);
    setTabOrder(btnStampa, btnTrova);
    setTabOrder(btnTrova, btnChiudi);
    new ui::EnterCycle({txtTrova, btnTrova}, false, this);

    connect(btnTrova, &QPushButton::clicked, this, &RecordPicker::btnTrovaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnStampa, &QPushButton::clicked, this, &RecordPicker::btnStampaClick);
    new DoubleClick(lstRecords->viewport(), this);
    new ReadCurrentOnFocus(lstRecords);
}

RecordPicker::~RecordPicker() = default;

QStringList RecordPicker::ItemTexts() const {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(list_->Items().size()));
    for (const PickerItem& item : list_->Items()) texts << item.text;
    return texts;
}

void RecordPicker::FormShow() {
    lastSearch_.clear();
    txtTrova->clear();
    std::vector<PickerItem> items;
    try {
        DataRecordFile file(app_.Folder().Path());
        ReadPickerItems(file, items);
    } catch (const std::exception&) {
        // Not reported: the list shows the records read so far.
    }
    SortPickerItems(items);
    list_->Reset(std::move(items));
    // The list shows its current record from the start: the one Enter picks.
    lstRecords->setCurrentIndex(list_->index(0));
    txtTrova->setFocus();
}

void RecordPicker::FormClose() { list_->Reset({}); }

void RecordPicker::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter in the list picks as a double click does.
        if (focusWidget() == lstRecords) lstRecordsDblClick();
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) button->click();
        event->accept();
        return;
    }
    ui::Dialog::keyPressEvent(event);
}

void RecordPicker::btnTrovaClick() {
    const std::vector<PickerItem>& items = list_->Items();
    if (items.empty()) {
        ui::ShowPlain(this, QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce."));
        return;
    }
    const QModelIndex current = lstRecords->currentIndex();
    const int row = PickerSearchStep(items, current.isValid() ? current.row() : -1, txtTrova->text(),
                                     lastSearch_);
    const QModelIndex found = list_->index(row);
    lstRecords->setCurrentIndex(found);
    lstRecords->scrollTo(found);
    // The focus goes to the record found, which a screen reader reads and
    // Enter picks.
    lstRecords->setFocus(Qt::OtherFocusReason);
}

void RecordPicker::btnStampaClick() {
    const report::PrepareResult prepared =
        summary::FillAndPrepare(*repRiepilogo, SummaryTitle(), ItemTexts(), QDateTime::currentDateTime());
    if (!prepared) return printing::Tell(this, prepared);
    printing::Print(this, app_.Folder(), *repRiepilogo);
}

void RecordPicker::lstRecordsDblClick() {
    const QModelIndex current = lstRecords->currentIndex();
    if (current.isValid()) {
        try {
            Pick(list_->Items()[static_cast<std::size_t>(current.row())]);
        } catch (const std::exception&) {
            // Not reported: the target window keeps what it held.
        }
    }
    accept();
}

// Loads the row's own record, read again from the file. When that record no
// longer gives the row's text (the file changed since the list was filled),
// the last record that does is taken, so no other record is ever loaded.
void RecordPicker::Pick(const PickerItem& item) {
    const QString wanted = TrimText(item.text);
    DataRecordFile file(app_.Folder().Path());
    DataRecord record;
    if (item.number <= file.RecordCount()) {
        file.Seek(item.number - 1);
        file.Read(record);
        if (TrimText(PickerItemText(record)) == wanted) {
            file.Close();
            kind_.pick(*this, record, item.number);
            return;
        }
    }
    std::optional<std::pair<DataRecord, long long>> found;
    file.Seek(0);
    // Counted once: each count looks for an import's journal beside the archive.
    for (const long long count = file.RecordCount(); file.Position() < count;) {
        file.Read(record);
        if (TrimText(PickerItemText(record)) == wanted) found.emplace(record, file.Position());
    }
    file.Close();
    if (found) kind_.pick(*this, found->first, found->second);
}
