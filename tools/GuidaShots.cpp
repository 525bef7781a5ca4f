#include "GuidaShots.h"

#include "windows/app/Velmora.h"
#include "ui/Messages.h"
#include "ui/ModalRunner.h"
#include "windows/access/CambiaPassword.h"
#include "windows/access/Password.h"
#include "windows/archive/AllegaCartella.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "core/archive/DataRecord.h"
#include "windows/archive/ExpIndirizzi.h"
#include "windows/archive/ImportaIndirizzi.h"
#include "windows/archive/StampaBusta.h"
#include "windows/archive/TrovaIndirizzi.h"
#include "print/engine/Painter.h"
#include "print/engine/Prepared.h"
#include "print/pdf/PdfWriter.h"
#include "print/printers/Printers.h"
#include "print/templates/CalibrationSheet.h"
#include "print/templates/LabelSheet.h"
#include "report_ui/Preview.h"
#include "windows/sheets/Anteprima_Etichetta.h"
#include "windows/sheets/Anteprima_Etichette.h"
#include "windows/sheets/Archivio_Etichette.h"
#include "windows/sheets/Calibrazione.h"
#include "core/sheets/LabelGrid.h"
#include "core/sheets/SheetRecord.h"
#include "windows/sheets/Stampa_Etichette.h"
#include "windows/shell/Avvio.h"
#include "windows/shell/Guida.h"
#include "windows/shell/Info.h"
#include "windows/shell/Splash.h"

#include <QApplication>
#include <QFile>
#include <QLayout>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>
#include <stdexcept>
#include <vector>

namespace guida {
namespace {

// Sample records: name, type, six lines, note.
struct Sample {
    const char* nome;
    const char* tipo;
    const char* righe[6];
    const char* note;
};
const Sample kSamples[] = {
    {"Studio Rossi", "Indirizzo",
     {"Spett.le", "Studio Rossi & Associati", "Via Roma, 12", "20121 Milano (MI)", "", ""}, "Cliente dal 2019"},
    {"Bianchi Maria", "Indirizzo",
     {"Gentile Signora", "Maria Bianchi", "Corso Italia, 45", "50123 Firenze (FI)", "", ""}, "Auguri di Natale"},
    {"Olio extravergine", "Prodotto",
     {"Olio extravergine di oliva", "Bottiglia da 0,75 l", "Lotto 24/117", "Da consumarsi entro 12/2026", "",
      "Frantoio Esempio"},
     "Etichetta per le bottiglie"},
    {"Convegno di primavera", "Biglietto",
     {"Convegno di primavera", "Sala Verdi - 14 aprile", "Ingresso ore 9:30", "", "Posto riservato", ""},
     "Biglietti d'ingresso"},
    {"Fatture 2024", "Archivio", {"ARCHIVIO", "Fatture fornitori", "Anno 2024", "", "Scaffale B", "Ripiano 3"},
     "Faldoni dell'ufficio"},
    {"Verdi Giuseppe", "Indirizzo", {"Egregio Signor", "Giuseppe Verdi", "Piazza Garibaldi, 3", "43011 Busseto (PR)",
                                     "", ""}, ""},
};

DataRecord Record(const Sample& s) {
    DataRecord record;
    record.SetText(DataRecord::Nome, QString::fromUtf8(s.nome));
    record.SetText(DataRecord::Tipo, QString::fromUtf8(s.tipo));
    for (int line = 1; line <= 6; ++line) record.SetText(DataRecord::Rigo(line), QString::fromUtf8(s.righe[line - 1]));
    record.SetText(DataRecord::Note, QString::fromUtf8(s.note));
    return record;
}

void WriteSamples(const QString& folder) {
    DataRecordFile records(folder);
    for (const Sample& s : kSamples) records.Append(Record(s));
    records.Close();

    // One page whose 24 labels take the samples in turn.
    SheetRecord page;
    for (int slot = 1; slot <= label_grid::kSlots; ++slot) {
        const Sample& s = kSamples[(slot - 1) % std::size(kSamples)];
        page.field[SheetRecord::NameField(slot)] = EncodeShortText(QString::fromUtf8(s.nome));
        for (int line = 1; line <= label_grid::kLines; ++line)
            page.field[SheetRecord::LineField(line, slot)] = EncodeShortText(QString::fromUtf8(s.righe[line - 1]));
    }
    SheetRecordFile pages(folder);
    pages.Append(page);
    pages.Close();
}

QImage Grab(QWidget& window) {
    QApplication::processEvents();
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// A long-lived window at its design size, brought up as the user finds it.
QImage ShowAndGrab(ui::Window& window, const std::function<void()>& prepare = {}) {
    window.show();
    if (prepare) prepare();
    QImage image = Grab(window);
    window.hide();
    return image;
}

// The dialog of class D, opened by the action of its opener. Dialogs opened
// on the way (a print window before its preview) are taken through by `pass`;
// `arrange` brings the dialog to the view the guide shows.
template <class D>
QImage OpenAndGrab(QWidget& opener, const std::function<void()>& open,
                   const std::function<void(QDialog&)>& pass = {}, const std::function<void(D&)>& arrange = {}) {
    QImage image;
    opener.show();
    const ui::ModalHandler previous = ui::SetModalHandler([&](QDialog& dialog) {
        if (auto* wanted = dynamic_cast<D*>(&dialog)) {
            if (arrange) arrange(*wanted);
            image = Grab(*wanted);
        } else if (pass) {
            pass(dialog);
        }
    });
    open();
    ui::SetModalHandler(previous);
    opener.hide();
    if (image.isNull()) throw std::runtime_error("the window did not open");
    return image;
}

using Take = std::function<QImage(Velmora&)>;
template <class W>
using WindowOf = W& (Velmora::*)() const;

// A long-lived window, after a command of its own (paging to the first record).
template <class W>
Take Shown(WindowOf<W> window, void (W::*command)() = nullptr) {
    return [=](Velmora& app) {
        W& w = (app.*window)();
        return ShowAndGrab(w, [&] {
            if (command) (w.*command)();
        });
    };
}

// The dialog of class D that a command of a long-lived window opens.
template <class D, class W>
Take Opened(WindowOf<W> window, std::function<void(W&)> command) {
    return [=](Velmora& app) {
        W& w = (app.*window)();
        return OpenAndGrab<D>(w, [&] { command(w); });
    };
}

// The printers a guide picture shows: one office printer, whatever the
// machine that builds the guide has.
class GuidePrinters : public report::PrinterSystem {
public:
    QStringList Names() const override { return {DefaultPrinter()}; }
    QString DefaultPrinter() const override { return QStringLiteral("Ufficio"); }
    QString Port(const QString&) const override { return {}; }
    std::vector<report::PrinterOption> Options(const QString&) const override { return {}; }
    bool IsUsable(const QString&) const override { return true; }
    void Print(const report::PrintJob&) override {}
};

// The dialog of class D that a command opens, with the guide's printers.
template <class D, class W>
Take WithPrinters(WindowOf<W> window, std::function<void(W&)> command) {
    return [=](Velmora& app) {
        auto previous = report::SetPrinters(std::make_unique<GuidePrinters>());
        QImage image = Opened<D, W>(window, command)(app);
        report::SetPrinters(std::move(previous));
        return image;
    };
}

// The calibration test sheet as printed with no calibration, drawn finely
// and brought down to 70 dots an inch, so that its thin lines stay seen.
QImage TestSheet(Velmora&) {
    auto sheet = calibration_sheet::Build();
    if (!calibration_sheet::FillAndPrepare(*sheet, calibration_sheet::Caption(QStringLiteral("Ufficio"), {})))
        throw std::runtime_error("the test sheet did not prepare");
    const QImage fine = report::RenderPage(sheet->PreparedPages().front(), 280);
    return fine.scaledToWidth(fine.width() / 4, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
}

// The first label page of the samples as printed: the PDF the program writes
// for it, drawn by poppler at 60 dots an inch.
QImage PrintedSheet(Velmora& app) {
    SheetRecordFile pages;
    pages.OpenForReading(app.Folder().Path());
    SheetRecord page;
    pages.Seek(0);
    pages.Read(page);
    auto sheet = label_sheet::Build(label_sheet::kPageName);
    if (!label_sheet::FillAndPrepare(*sheet, label_sheet::PageLines(page)))
        throw std::runtime_error("the label page did not prepare");
    QTemporaryDir work;
    const QString pdf = work.filePath(QStringLiteral("pagina.pdf"));
    report::WritePdf(report::StreamOf({&sheet->PreparedPages().front()}), pdf);
    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"),
                 {"-r", "60", "-png", "-singlefile", pdf, work.filePath(QStringLiteral("pagina"))});
    if (!raster.waitForFinished(60000) || raster.exitCode() != 0)
        throw std::runtime_error("pdftoppm (poppler-utils) did not draw the printed page");
    QImage image = QImage(work.filePath(QStringLiteral("pagina.png"))).convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) throw std::runtime_error("pdftoppm drew no page");
    // The paper's edge, which white on white would not show.
    QPainter edge(&image);
    edge.setPen(QColor(160, 160, 160));
    edge.drawRect(image.rect().adjusted(0, 0, -1, -1));
    edge.end();
    return image;
}

struct Entry {
    const char* window;
    Take take;
};

const std::vector<Entry>& Entries() {
    using Indirizzi = TfrmArchivio_Indirizzi;
    using Etichette = TfrmArchivio_Etichette;
    static const std::vector<Entry> entries = {
        {"TfrmPassword", Shown(&Velmora::frmPassword)},
        {"TfrmCambiaPassword", Shown(&Velmora::frmCambiaPassword)},
        {"TfrmAvvio", Shown(&Velmora::frmAvvio)},
        {"TfrmGuida", Opened<TfrmGuida, TfrmAvvio>(&Velmora::frmAvvio, &TfrmAvvio::imgGuidaClick)},
        {"TfrmInfo", Opened<TfrmInfo, TfrmAvvio>(&Velmora::frmAvvio, &TfrmAvvio::imgInfoClick)},
        {"TfrmSplash", Opened<TfrmSplash, TfrmAvvio>(&Velmora::frmAvvio, &TfrmAvvio::imgCopyrightClick)},
        {"TfrmArchivio_Indirizzi", Shown(&Velmora::frmArchivio_Indirizzi, &Indirizzi::cmdPrimoClick)},
        {"TfrmTrovaIndirizzi",
         Opened<TfrmTrovaIndirizzi, Indirizzi>(&Velmora::frmArchivio_Indirizzi, &Indirizzi::cmdTrovaClick)},
        {"TfrmAllegaCartella",
         Opened<TfrmAllegaCartella, Indirizzi>(&Velmora::frmArchivio_Indirizzi, &Indirizzi::cmdFileClick)},
        {"TfrmStampaBusta",
         Opened<TfrmStampaBusta, Indirizzi>(&Velmora::frmArchivio_Indirizzi, &Indirizzi::cmdStampaClick)},
        {"TfrmAnteprima_Etichetta",
         Opened<TfrmAnteprima_Etichetta, Indirizzi>(&Velmora::frmArchivio_Indirizzi, &Indirizzi::cmdAnteprimaClick)},
        {"TfrmExpIndirizzi",
         Opened<TfrmExpIndirizzi, Indirizzi>(&Velmora::frmArchivio_Indirizzi, &Indirizzi::cmdEsportaClick)},
        {"TfrmArchivio_Etichette", Shown(&Velmora::frmArchivio_Etichette, &Etichette::cmdPrimoClick)},
        {"TfrmImportaIndirizzi", Opened<TfrmImportaIndirizzi, Etichette>(
                                     &Velmora::frmArchivio_Etichette, [](Etichette& w) { w.impIndirizzoClick(1); })},
        {"TfrmAnteprima_Etichette",
         Opened<TfrmAnteprima_Etichette, Etichette>(&Velmora::frmArchivio_Etichette, &Etichette::cmdAnteprimaClick)},
        {"TfrmStampa_Etichette",
         Opened<TfrmStampa_Etichette, Etichette>(&Velmora::frmArchivio_Etichette, &Etichette::cmdStampaClick)},
        {"TfrmCalibrazione",
         WithPrinters<TfrmCalibrazione, Etichette>(&Velmora::frmArchivio_Etichette, &Etichette::cmdCalibraClick)},
        // Not windows: the page the calibration prints, a printed label page.
        {"FoglioDiProva", TestSheet},
        {"FoglioStampato", PrintedSheet},
        // The preview of the first stored page, reached through "Mostra anteprima"
        // and shown whole.
        {"TfrmPreview",
         [](Velmora& app) {
             Etichette& w = app.frmArchivio_Etichette();
             w.show();
             w.cmdPrimoClick();
             return OpenAndGrab<report::TfrmPreview>(
                 w, [&] { w.cmdAnteprimaClick(); },
                 [](QDialog& dialog) {
                     if (auto* sheet = dynamic_cast<SheetPrintWindow*>(&dialog)) sheet->btnStampaClick();
                 },
                 [](report::TfrmPreview& preview) {
                     preview.showNormal();
                     preview.resize(600, 780);
                     preview.layout()->activate();
                     preview.ZoomWholePage();
                 });
         }},
    };
    return entries;
}

}  // namespace

const std::vector<ReadmePicture>& ReadmePictures() {
    static const std::vector<ReadmePicture> pictures = {
        {"avvio.png", "TfrmAvvio", "The launcher: the data archive and the pages of labels."},
        {"archivio-dati.png", "TfrmArchivio_Indirizzi", "The data archive: one record with its six lines."},
        {"pagina-etichette.png", "TfrmArchivio_Etichette",
         "A page of 24 labels, filled from the archive with the green arrows."},
        {"foglio-stampato.png", "FoglioStampato", "The same page printed on an A4 sheet: the program's PDF, drawn by poppler."},
    };
    return pictures;
}

QStringList ReadShotList(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::runtime_error("cannot read " + path.toStdString());
    QStringList windows;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#'))) windows << line;
    }
    return windows;
}

Studio::Studio() {
    if (!folder_.isValid()) throw std::runtime_error("cannot make a temporary folder");
    WriteSamples(folder_.path());
    app_ = std::make_unique<Velmora>(ProgramFolder(folder_.path()));
    // No window of the sample scenes has anything to say: a message stands
    // for a broken scene, and Take reports it.
    previous_ = ui::SetMessageHandler([this](const ui::Message& message) {
        said_ << message.text;
        return ui::Answer::Ok;
    });
}

Studio::~Studio() { ui::SetMessageHandler(previous_); }

QImage Studio::Take(const QString& windowClass) {
    for (const Entry& entry : Entries()) {
        if (windowClass != QLatin1String(entry.window)) continue;
        said_.clear();
        QImage image = entry.take(*app_);
        if (!said_.isEmpty())
            throw std::runtime_error(windowClass.toStdString() + " said: " + said_.join(QLatin1Char(' ')).toStdString());
        return image;
    }
    throw std::runtime_error("no picture of a window " + windowClass.toStdString());
}

QImage Studio::TakeForReadme(const ReadmePicture& picture) {
    // Wide enough to read, small enough to stand whole on a repository's page.
    constexpr int kWidth = 720;
    const QImage image = Take(QLatin1String(picture.shot));
    if (image.width() <= kWidth) return image;
    return image.scaledToWidth(kWidth, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
}

QStringList Studio::Windows() {
    QStringList windows;
    for (const Entry& entry : Entries()) windows << QLatin1String(entry.window);
    return windows;
}

}  // namespace guida
