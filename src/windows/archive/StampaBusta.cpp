#include "windows/archive/StampaBusta.h"

#include "core/folder/IniFile.h"
#include "windows/app/Velmora.h"
#include "ui/Gradient.h"
#include "ui/Messages.h"
#include "ui/Accessibility.h"
#include "ui/PictureButton.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "print/templates/Busta.h"
#include "core/archive/EnvelopeSettings.h"
#include "core/folder/TextRules.h"
#include "report_ui/Print.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace {

constexpr QSize kClient(498, 470);

const QString kFailure = QStringLiteral(
    "Attenzione: la stampa non è andata a buon fine.\n\r\n\r"
    "Si consiglia di controllare le impostazioni della stampante.");

const QString kBlank = QStringLiteral(
    "Attenzione: i sei righi dell'indirizzo sono vuoti e la busta uscirebbe bianca.\n\r\n\r"
    "Si vuole stampare comunque la busta senza indirizzo?");

QFont Bold() { return QFont(QStringLiteral("Verdana"), 10, QFont::Bold); }

QLabel* NewLabel(const QString& name, const QString& text, const QFont& font, const QString& colour, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colour));
    return label;
}

// A caption in white bold on the margin area.
QLabel* NewTitle(const QString& name, const QString& text, QPoint at, QWidget* parent) {
    QLabel* title = NewLabel(name, text, Bold(), QStringLiteral("white"), parent);
    title->move(at);
    title->adjustSize();
    return title;
}

// The controls of one margin, named after it ("Top": panTop, btnTopMinus,
// txtTop, btnTopPlus, lblTop): "-", the read-only box, "+", "mm".
struct MarginPanel {
    QWidget* panel;
    QPushButton* minus;
    QLineEdit* box;
    QPushButton* plus;
};

MarginPanel NewMarginPanel(const QString& which, QPoint at, QWidget* parent) {
    MarginPanel m;
    m.panel = new QWidget(parent);
    m.panel->setObjectName(QStringLiteral("pan") + which);
    m.panel->setGeometry(QRect(at, QSize(250, 40)));
    m.minus = ui::NewButton(QStringLiteral("btn%1Minus").arg(which), QStringLiteral("-"), QRect(0, 0, 40, 40), m.panel);
    m.box = new QLineEdit(QStringLiteral("0"), m.panel);
    m.box->setObjectName(QStringLiteral("txt") + which);
    m.box->setGeometry(48, 0, 110, 40);
    m.box->setReadOnly(true);
    m.box->setAlignment(Qt::AlignCenter);
    m.box->setFont(QFont(QStringLiteral("Verdana"), 12, QFont::Bold));
    m.plus = ui::NewButton(QStringLiteral("btn%1Plus").arg(which), QStringLiteral("+"), QRect(166, 0, 40, 40), m.panel);
    QLabel* unit = NewLabel(QStringLiteral("lbl") + which, QStringLiteral("mm"), Bold(), QStringLiteral("white"), m.panel);
    unit->setGeometry(214, 0, 36, 40);
    return m;
}

QPushButton* NewHiddenButton(const QString& name, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->hide();
    return button;
}

}  // namespace

TfrmStampaBusta::TfrmStampaBusta(Velmora& app, QWidget* owner)
    : ui::Dialog(owner, QStringLiteral(" Stampa indirizzo su busta"), kClient, ui::Centre::Owner),
      repModulo(envelope::Build()),
      app_(app) {
    auto* background = new ui::Gradient(QStringLiteral("bkgSfondo"), ui::colour::kWhite, ui::colour::kSoftBlue, this);
    background->setGeometry(rect());

    imgMargini = new ui::Picture(QStringLiteral("imgMargini"), QStringLiteral("busta_margini"), QSize(468, 170), this);
    imgMargini->move(15, 12);
    auto* bkgStampa = new ui::Gradient(QStringLiteral("bkgStampa"), ui::colour::kSteelBlue, ui::colour::kSteelBlue, this);
    bkgStampa->setGeometry(15, 192, 468, 3);

    // The orientation: a brown title bar over a white area with the two choices.
    panOrientamento = new QWidget(this);
    panOrientamento->setObjectName(QStringLiteral("panOrientamento"));
    panOrientamento->setGeometry(15, 208, 170, 150);
    auto* sfoOrientamento =
        new ui::Gradient(QStringLiteral("sfoOrientamento"), ui::colour::kBrown, ui::colour::kBrown, panOrientamento);
    sfoOrientamento->setGeometry(0, 0, 170, 28);
    NewTitle(QStringLiteral("lblTitOrientamento"), QStringLiteral("Orientamento:"), QPoint(8, 5), sfoOrientamento);
    auto* bkgOrientamento =
        new ui::Gradient(QStringLiteral("bkgOrientamento"), ui::colour::kWhite, ui::colour::kWhite, panOrientamento);
    bkgOrientamento->setGeometry(0, 28, 170, 122);
    bkgOrientamento->SetOutline(ui::colour::kBrown);
    optVerticale = new QRadioButton(QStringLiteral("Verticale"), bkgOrientamento);
    optVerticale->setObjectName(QStringLiteral("optVerticale"));
    optOrizzontale = new QRadioButton(QStringLiteral("Orizzontale"), bkgOrientamento);
    optOrizzontale->setObjectName(QStringLiteral("optOrizzontale"));
    for (QRadioButton* option : {optVerticale, optOrizzontale}) {
        option->setFont(Bold());
        option->setCursor(Qt::PointingHandCursor);
    }
    optVerticale->setGeometry(16, 22, 140, 28);
    optOrizzontale->setGeometry(16, 70, 140, 28);
    optVerticale->setChecked(true);

    // The two margins on a shaded area.
    auto* bkgSfondoMargini =
        new ui::Gradient(QStringLiteral("bkgSfondoMargini"), ui::colour::kSteelBlue, ui::colour::kSoftBlue, this);
    bkgSfondoMargini->setGeometry(200, 208, 283, 150);
    NewTitle(QStringLiteral("lblTitTop"), QStringLiteral("Margine superiore:"), QPoint(14, 8), bkgSfondoMargini);
    const MarginPanel top = NewMarginPanel(QStringLiteral("Top"), QPoint(14, 30), bkgSfondoMargini);
    NewTitle(QStringLiteral("lblTitLeft"), QStringLiteral("Margine sinistro:"), QPoint(14, 80), bkgSfondoMargini);
    const MarginPanel left = NewMarginPanel(QStringLiteral("Left"), QPoint(14, 102), bkgSfondoMargini);
    for (const auto& [margin, name] : {std::pair{top, "Margine superiore"}, std::pair{left, "Margine sinistro"}}) {
        const QString title = QString::fromUtf8(name);
        margin.box->setAccessibleName(title + QStringLiteral(" in millimetri"));
        margin.minus->setAccessibleName(title + QStringLiteral(": meno"));
        margin.plus->setAccessibleName(title + QStringLiteral(": più"));
    }
    panTop = top.panel, btnTopMinus = top.minus, txtTop = top.box, btnTopPlus = top.plus;
    panLeft = left.panel, btnLeftMinus = left.minus, txtLeft = left.box, btnLeftPlus = left.plus;

    // Never pressed: their handlers run only as the first steps of Stampa.
    btnApplicaTop = NewHiddenButton(QStringLiteral("btnApplicaTop"), this);
    btnApplicaLeft = NewHiddenButton(QStringLiteral("btnApplicaLeft"), this);

    QFont italic = Bold();
    italic.setItalic(true);
    lblAttendere = NewLabel(QStringLiteral("lblAttendere"), QStringLiteral("Elaborazione in corso. Attendere..."),
                            italic, ui::colour::kCrimson.name(), this);
    lblAttendere->setGeometry(15, 370, 468, 28);
    lblAttendere->setAlignment(Qt::AlignCenter);
    lblAttendere->hide();

    btnAnnulla = ui::NewButton(QStringLiteral("btnAnnulla"), QStringLiteral("Annulla"), QRect(15, 416, 150, 38), this);
    btnStampa = ui::NewButton(QStringLiteral("btnStampa"), QStringLiteral("Stampa"), QRect(333, 416, 150, 38), this);

    using W = TfrmStampaBusta;
    connect(btnTopMinus, &QPushButton::clicked, this, &W::btnTopMinusClick);
    connect(btnTopPlus, &QPushButton::clicked, this, &W::btnTopPlusClick);
    connect(btnLeftMinus, &QPushButton::clicked, this, &W::btnLeftMinusClick);
    connect(btnLeftPlus, &QPushButton::clicked, this, &W::btnLeftPlusClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    // The wait notice appears as soon as the mouse goes down on Stampa.
    connect(btnStampa, &QPushButton::pressed, lblAttendere, &QWidget::show);
    connect(btnStampa, &QPushButton::clicked, this, &W::btnStampaClick);
}

TfrmStampaBusta::~TfrmStampaBusta() = default;

void TfrmStampaBusta::FormShow() {
    // An unreadable file counts as a missing one: the defaults, no message.
    envelope_settings::Settings settings;
    try {
        settings = envelope_settings::Read(app_.Folder());
    } catch (const IniError&) {
    }
    txtTop->setText(settings.top);
    txtLeft->setText(settings.left);
    optVerticale->setChecked(!settings.landscape);
    optOrizzontale->setChecked(settings.landscape);
}

void TfrmStampaBusta::Step(QLineEdit* margin, int step) {
    const auto moved = envelope_settings::StepMargin(margin->text(), step);
    if (!moved) return ui::ReportError(this, envelope_settings::NotAWholeNumber(margin->text()));
    margin->setText(*moved);
    // The value each press makes, told to a screen reader (the focus stays on the button).
    ui::Announce(QStringLiteral("%1: %2 mm").arg(margin == txtTop ? QStringLiteral("Margine superiore")
                                                                  : QStringLiteral("Margine sinistro"),
                                                 *moved));
}

void TfrmStampaBusta::btnTopMinusClick() { Step(txtTop, -1); }
void TfrmStampaBusta::btnTopPlusClick() { Step(txtTop, +1); }
void TfrmStampaBusta::btnLeftMinusClick() { Step(txtLeft, -1); }
void TfrmStampaBusta::btnLeftPlusClick() { Step(txtLeft, +1); }

void TfrmStampaBusta::btnApplicaTopClick() {
    envelope_settings::WriteTop(app_.Folder(), txtTop->text(), !optVerticale->isChecked());
}

void TfrmStampaBusta::btnApplicaLeftClick() {
    envelope_settings::WriteLeft(app_.Folder(), txtLeft->text(), !optVerticale->isChecked());
}

bool TfrmStampaBusta::PrintEnvelope() {
    using Status = report::PrintOutcome::Status;
    try {
        // Saved first: what is saved stays saved, whatever the print comes to.
        btnApplicaTopClick();
        btnApplicaLeftClick();
        lblAttendere->show();
        const auto top = envelope_settings::MarginMm(txtTop->text());
        const auto left = envelope_settings::MarginMm(txtLeft->text());
        if (!top || !left) return false;
        envelope::Lines lines;
        const auto boxes = app_.frmArchivio_Indirizzi().LineBoxes();
        for (int line = 0; line < envelope::kLines; ++line) lines[line] = boxes[line]->text();
        if (!envelope::FillAndPrepare(*repModulo, {!optVerticale->isChecked(), *top, *left}, lines)) return false;
        const Status printed = report::Print(*repModulo, app_.Folder(), 1, this).status;
        return printed == Status::Printed || printed == Status::Cancelled;
    } catch (const std::exception&) {
        return false;
    }
}

void TfrmStampaBusta::btnStampaClick() {
    // A new, empty record would print a blank envelope: only when the user says so.
    const auto boxes = app_.frmArchivio_Indirizzi().LineBoxes();
    if (std::all_of(boxes.begin(), boxes.end(), [](const QLineEdit* box) { return IsBlank(box->text()); }) &&
        ui::ShowMessage(this, kBlank, ui::Kind::Confirmation, ui::Buttons::YesNo) != ui::Answer::Yes) {
        lblAttendere->hide();
        return;
    }
    if (!PrintEnvelope()) ui::ShowMessage(this, kFailure, ui::Kind::Warning);
    lblAttendere->hide();
    accept();
}
