#include "windows/archive/ExpIndirizzi.h"

#include "windows/app/Velmora.h"
#include "ui/Gradient.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"
#include "ui/StatusLine.h"
#include "core/archive/ExportWriter.h"
#include "core/archive/OfficeLock.h"
#include "core/archive/ShortText.h"
#include "windows/archive/ArchiveBox.h"
#include "windows/shell/Guida.h"
#include "windows/shell/OpenURL.h"

#include <QAbstractItemDelegate>
#include <QAbstractTableModel>
#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>

#include <array>
#include <exception>
#include <functional>
#include <utility>
#include <vector>

namespace se = spreadsheet_export;

namespace {

constexpr QSize kClient(862, 560);
constexpr QSize kIcon(48, 48);

struct ColumnLook {
    const char* header;
    int width;
    bool editable;
};
constexpr ColumnLook kColumnLooks[TfrmExpIndirizzi::kColumns] = {
    {"N.", 60, false},           {"Nome etichetta", 250, false}, {"Tipo", 200, false},
    {"Dati rigo 1", 280, false}, {"Dati rigo 2", 280, false},    {"Dati rigo 3", 280, false},
    {"Dati rigo 4", 280, true},  {"Dati rigo 5", 280, false},    {"Dati rigo 6", 280, true},
    {"Note", 350, true},
};

}  // namespace

// The cells of grdRecords: the record number in column 0 (none in the empty
// rows of an empty archive), then the nine cells that the export writes. Each
// row keeps its cells as read, in the code page, and is decoded only when it
// is shown, so that a large archive fills the grid at once; typed texts are
// kept beside them and take their cells' place.
class TfrmExpIndirizzi::Grid : public QAbstractTableModel {
public:
    explicit Grid(QObject* parent) : QAbstractTableModel(parent), rows_(se::kEmptyRows, Pack({})) {}

    // Told the letters a typed cell changed (ChangedLetters), empty when none.
    std::function<void(const QString&)> tellChanges;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : kColumns;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
        if (index.column() == colNum) return numbered_ ? QString::number(index.row() + 1) : QString();
        const auto typed = typed_.constFind(Key(index.row(), index.column() - colNome));
        if (typed != typed_.cend()) return *typed;
        return se::CellText(Stored(index.row(), index.column() - colNome));
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return QString::fromUtf8(kColumnLooks[section].header);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags flags = QAbstractTableModel::flags(index);
        if (index.isValid() && kColumnLooks[index.column()].editable) flags |= Qt::ItemIsEditable;
        return flags;
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (!index.isValid() || role != Qt::EditRole || !kColumnLooks[index.column()].editable) return false;
        // The cell shows what the file will hold, and the user is told what changed.
        const QString text = value.toString();
        typed_.insert(Key(index.row(), index.column() - colNome), ArchivableText(text));
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
        if (tellChanges) tellChanges(ChangedLetters(text));
        return true;
    }

    // Takes the rows of the archive as the grid's rows.
    void Fill(se::ArchiveRows& archive, qsizetype expected) {
        std::vector<QByteArray> rows;
        rows.reserve(static_cast<std::size_t>(expected));
        se::Rows::Row row;
        try {
            while (archive.Next(row)) rows.push_back(Pack(row));
        } catch (const std::exception&) {
            // Not reported: the grid shows the rows read so far.
        }
        if (rows.empty()) return;
        beginResetModel();
        rows_ = std::move(rows);
        typed_.clear();
        numbered_ = archive.FromRecords();
        endResetModel();
    }

    // The grid's rows as the export takes them, typed cells converted.
    class Export : public se::Rows {
    public:
        explicit Export(const Grid& grid) : grid_(grid) {}
        bool Next(Row& row) override {
            if (next_ == grid_.rows_.size()) return false;
            const int r = static_cast<int>(next_++);
            for (int c = 0; c < kCells; ++c) {
                const auto typed = grid_.typed_.constFind(Key(r, c));
                if (typed == grid_.typed_.cend()) {
                    row[static_cast<std::size_t>(c)] = grid_.Stored(r, c);
                } else {
                    converted_[static_cast<std::size_t>(c)] = ToCodePage(*typed);
                    row[static_cast<std::size_t>(c)] = converted_[static_cast<std::size_t>(c)];
                }
            }
            return true;
        }

    private:
        const Grid& grid_;
        std::size_t next_ = 0;
        std::array<QByteArray, kCells> converted_;
    };

private:
    static qsizetype Key(int row, int cell) { return qsizetype(row) * se::Rows::kCells + cell; }

    // A row's cells back to back, each after its length byte (a field holds
    // at most 250 bytes).
    static QByteArray Pack(const se::Rows::Row& row) {
        QByteArray packed;
        for (QByteArrayView cell : row) packed.append(char(cell.size())).append(cell);
        return packed;
    }
    QByteArrayView Stored(int row, int cell) const {
        const QByteArray& packed = rows_[static_cast<std::size_t>(row)];
        qsizetype at = 0;
        for (int c = 0; c < cell; ++c) at += 1 + static_cast<unsigned char>(packed[at]);
        return QByteArrayView(packed).sliced(at + 1, static_cast<unsigned char>(packed[at]));
    }

    std::vector<QByteArray> rows_;
    QHash<qsizetype, QString> typed_;
    bool numbered_ = false;
};

TfrmExpIndirizzi::TfrmExpIndirizzi(Velmora& app, QWidget* owner)
    : ui::Dialog(owner, QStringLiteral(" Esportazione archivio dati in Excel"), kClient, ui::Centre::Screen),
      app_(app),
      grid_(new Grid(this)) {
    const QColor grey(0xEE, 0xED, 0xED);
    auto* background = new ui::Gradient(QStringLiteral("bkgSfondo"), grey, grey, this);
    background->setGeometry(rect());

    auto* shpBanner = new ui::Gradient(QStringLiteral("shpBanner"), ui::colour::kWhite, ui::colour::kWhite, this);
    shpBanner->setGeometry(0, 0, kClient.width(), 84);
    imgLogo = new ui::Picture(QStringLiteral("imgLogo"), QStringLiteral("exp_titolo"), QSize(560, 64), shpBanner);
    imgLogo->move(14, 10);
    icoHand = new ui::Picture(QStringLiteral("icoHand"), QStringLiteral("exp_mano"), QSize(72, 40), shpBanner);
    icoHand->move(592, 22);
    cmdEsporta = new ui::PictureButton(QStringLiteral("cmdEsporta"), QStringLiteral("esporta"), kIcon, shpBanner);
    cmdEsporta->move(672, 18);
    cmdGuida = new ui::PictureButton(QStringLiteral("cmdGuida"), QStringLiteral("guida"), kIcon, shpBanner);
    cmdGuida->move(730, 18);
    cmdEsci = new ui::PictureButton(QStringLiteral("cmdEsci"), QStringLiteral("esci"), kIcon, shpBanner);
    cmdEsci->move(788, 18);

    auto* panContenitore = new QWidget(this);
    panContenitore->setObjectName(QStringLiteral("panContenitore"));
    panContenitore->setGeometry(10, 94, kClient.width() - 20, 426);
    grdRecords = new QTableView(panContenitore);
    grdRecords->setObjectName(QStringLiteral("grdRecords"));
    grdRecords->setGeometry(panContenitore->rect());
    grdRecords->setModel(grid_);
    grdRecords->setAccessibleName(QStringLiteral("Schede in archivio"));
    grdRecords->setAlternatingRowColors(true);
    grdRecords->setSelectionMode(QAbstractItemView::SingleSelection);
    grdRecords->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    grdRecords->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    grdRecords->verticalHeader()->hide();
    grdRecords->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdRecords->verticalHeader()->setMinimumSectionSize(21);
    grdRecords->verticalHeader()->setDefaultSectionSize(21);
    QHeaderView* header = grdRecords->horizontalHeader();
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < kColumns; ++c) header->resizeSection(c, kColumnLooks[c].width);

    const QColor slateBlue = ui::colour::kSlateBlue;
    auto* shpInfo = new ui::Gradient(QStringLiteral("shpInfo"), slateBlue, slateBlue, this);
    shpInfo->setGeometry(0, kClient.height() - 30, kClient.width(), 30);
    panInfo = new QLabel(QStringLiteral("Esportazione archivio in Microsoft Excel."), shpInfo);
    panInfo->setObjectName(QStringLiteral("panInfo"));
    panInfo->setStyleSheet(QStringLiteral("color: white;"));
    panInfo->setFont(QFont(QStringLiteral("Tahoma"), 12));
    panInfo->setGeometry(10, 0, kClient.width() - 20, 30);

    auto* status = new ui::StatusLine(panInfo, this);
    status->AddCommand(cmdEsporta, QStringLiteral("Esporta l'archivio in formato Microsoft Excel."));
    status->AddCommand(cmdGuida, QStringLiteral("Visualizza la pagina della guida sensibile al contesto."));
    status->AddCommand(cmdEsci, QStringLiteral("Esci da questo ambiente di lavoro."));
    const std::initializer_list<QWidget*> plain = {this, background, shpBanner, panContenitore, grdRecords,
                                                    grdRecords->viewport(), header->viewport(), shpInfo, panInfo};
    for (QWidget* widget : plain)
        status->AddBackground(widget);

    grid_->tellChanges = [this](const QString& changes) {
        if (!changes.isEmpty()) panInfo->setText(ChangedLettersSentence(changes));
    };

    connect(cmdEsporta, &ui::PictureButton::clicked, this, &TfrmExpIndirizzi::cmdEsportaClick);
    connect(cmdGuida, &ui::PictureButton::clicked, this, &TfrmExpIndirizzi::cmdGuidaClick);
    connect(cmdEsci, &ui::PictureButton::clicked, this, &TfrmExpIndirizzi::cmdEsciClick);
}

TfrmExpIndirizzi::~TfrmExpIndirizzi() = default;

void TfrmExpIndirizzi::FormShow() {
    try {
        DataRecordFile file(app_.Folder().Path());
        se::ArchiveRows archive(file);
        grid_->Fill(archive, file.RecordCount());
        file.Close();
    } catch (const std::exception&) {
        // Not reported: the grid keeps its empty rows.
    }
}

// A cell being edited keeps its text in the editor until the editor closes;
// the export takes what stands in the cells, so the editor hands it over.
void TfrmExpIndirizzi::CommitEdit() {
    const QModelIndex current = grdRecords->currentIndex();
    if (QWidget* editor = grdRecords->indexWidget(current))
        emit grdRecords->itemDelegateForIndex(current)->commitData(editor);
}

void TfrmExpIndirizzi::cmdEsportaClick() {
    CommitEdit();
    if (ui::ShowMessage(this,
                        QStringLiteral("L'esportazione dei dati in Excel può richiedere diversi minuti a seconda del "
                                       "numero di schede presenti in archivio.\r\n\r\nSi vuole esportare i dati adesso?"),
                        ui::Kind::Confirmation, ui::Buttons::YesNo) != ui::Answer::Yes)
        return;
    const QString path = app_.Folder().File(se::kFileName);
    if (!ClearOfficeLock(path)) return;
    try {
        Grid::Export rows(*grid_);
        se::WriteFile(path, rows);
    } catch (const std::exception&) {
        ui::ShowPlain(this, QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\r"
                                           "Accertarsi che il file di Excel non sia già aperto."));
        return;
    }
    if (ui::ShowMessage(this,
                        QStringLiteral("Le schede in archivio sono state esportate con successo.\r\n\r\n"
                                       "Si vuole aprire il file di Excel?"),
                        ui::Kind::Confirmation, ui::Buttons::YesNo) == ui::Answer::Yes)
        TMisc::Open(QLatin1Char('"') + path + QLatin1Char('"'));
}

// The spreadsheet program's lock file beside the export: a lock held on this
// computer is told and stops the export; one written elsewhere (or by another
// user) is removed once the user says the file is no longer open there. A
// lock left behind on this computer is removed by the export itself.
bool TfrmExpIndirizzi::ClearOfficeLock(const QString& path) {
    office_lock::Lock lock;
    try {
        lock = office_lock::Inspect(path);
    } catch (const std::exception& error) {
        ui::ShowPlain(this, QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\r%1")
                                .arg(QString::fromStdString(error.what())));
        return false;
    }
    const QString who = office_lock::Describe(lock.holder);
    if (lock.state == office_lock::State::OpenHere) {
        ui::ShowPlain(this, QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\r"
                                           "Il file di Excel è aperto da %1: chiuderlo e riprovare.")
                                .arg(who));
        return false;
    }
    if (lock.state != office_lock::State::Unsure) return true;
    if (ui::ShowMessage(this,
                        QStringLiteral("Il file di Excel risulta aperto da %1 (lo dice il file nascosto %2, accanto "
                                       "al file).\r\n\r\nSe il file non è più aperto, quel file nascosto è "
                                       "rimasto da una chiusura improvvisa del foglio di calcolo e si può eliminare.\r\n\r\n"
                                       "Si vuole eliminarlo ed esportare i dati adesso?")
                            .arg(who, QFileInfo(office_lock::PathFor(path)).fileName()),
                        ui::Kind::Confirmation, ui::Buttons::YesNo) != ui::Answer::Yes)
        return false;
    const QString reason = office_lock::Remove(path);
    if (reason.isEmpty()) return true;
    ui::ShowPlain(this, QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\r"
                                       "Impossibile eliminare %1: %2")
                            .arg(office_lock::PathFor(path), reason));
    return false;
}

void TfrmExpIndirizzi::cmdGuidaClick() {
    ShowHelp(this, app_.Folder(), QStringLiteral("Esportazione archivio dati in Excel"), HelpParagraphs());
}

void TfrmExpIndirizzi::cmdEsciClick() { reject(); }

QStringList TfrmExpIndirizzi::HelpParagraphs() {
    return {
        QStringLiteral("Il pulsante Esporta trasferisce tutti i dati dell'archivio in un file per fogli di calcolo "
                       "in formato XLS, che si apre con qualunque programma in grado di gestire questo formato, "
                       "come Microsoft Excel, LibreOffice Calc o Apache OpenOffice Calc."),
        QStringLiteral("Nella finestra con la griglia dei dati basta fare clic sull'icona del foglio di calcolo: il "
                       "file viene creato subito e, rispondendo sì alla domanda che compare subito dopo, si apre "
                       "immediatamente nel programma associato."),
        QStringLiteral("A quel punto è sufficiente salvare il file sul proprio disco con il nome che si preferisce."),
    };
}
