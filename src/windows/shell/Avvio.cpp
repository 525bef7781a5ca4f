#include "windows/shell/Avvio.h"

#include "windows/app/Velmora.h"
#include "ui/Accessibility.h"
#include "ui/Gradient.h"
#include "ui/ModalRunner.h"
#include "ui/PictureButton.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "windows/sheets/Archivio_Etichette.h"
#include "windows/shell/Guida.h"
#include "windows/shell/Info.h"
#include "windows/shell/OpenURL.h"
#include "windows/shell/Splash.h"

namespace {
constexpr QSize kPanel(900, 620);
constexpr QSize kIcon(60, 60);

ui::Gradient* NewStrip(const QString& name, QRect geometry, QWidget* parent) {
    auto* strip = new ui::Gradient(name, ui::colour::kWhite, ui::colour::kWhite, parent);
    strip->SetOutline(QColor(176, 196, 222));
    strip->setGeometry(geometry);
    return strip;
}
}  // namespace

TfrmAvvio::TfrmAvvio(Velmora& app)
    : ui::Window(QStringLiteral(" Velmora"), Frame::Sizeable, QSize(1024, 720)), app_(app) {
    QWidget* panel = ui::MakeBackdrop(this, QStringLiteral("panAvvio"), kPanel).panel;

    auto* top = NewStrip(QStringLiteral("shpTitolo"), QRect(0, 0, 900, 130), panel);
    auto* left = NewStrip(QStringLiteral("shpApp01"), QRect(60, 160, 360, 330), panel);
    auto* right = NewStrip(QStringLiteral("shpApp02"), QRect(480, 160, 360, 330), panel);
    auto* bottom = NewStrip(QStringLiteral("shpPiede"), QRect(0, 520, 900, 90), panel);

    using W = TfrmAvvio;
    const QSize kTile(220, 220), kButton(300, 56);
    ui::AddCommand({imgInfo, "imgInfo", "avvio_info", kIcon, ui::Call(this, &W::imgInfoClick)}, top, {20, 35});
    ui::AddCommand({imgGuida, "imgGuida", "avvio_guida", kIcon, ui::Call(this, &W::imgGuidaClick)}, top, {820, 35});
    ui::AddCommand({imgApp01, "imgApp01", "avvio_app01", kTile, ui::Call(this, &W::imgApp01Click)}, left, {70, 15});
    ui::AddCommand({btnApp01, "btnApp01", "avvio_btn01", kButton, ui::Call(this, &W::imgApp01Click)}, left, {30, 255});
    ui::AddCommand({imgApp02, "imgApp02", "avvio_app02", kTile, ui::Call(this, &W::imgApp02Click)}, right, {70, 15});
    ui::AddCommand({btnApp02, "btnApp02", "avvio_btn02", kButton, ui::Call(this, &W::imgApp02Click)}, right,
                   {30, 255});
    ui::AddCommand({imgCopyright, "imgCopyright", "avvio_copyright", kIcon, ui::Call(this, &W::imgCopyrightClick)},
                   bottom, {20, 15});
    ui::AddCommand({imgSito, "imgSito", "avvio_sito", QSize(500, 50), ui::Call(this, &W::imgSitoClick)}, bottom,
                   {200, 20});
    ui::AddCommand({imgEsci, "imgEsci", "avvio_esci", kIcon, ui::Call(this, &W::imgEsciClick)}, bottom, {820, 15});
    // Their names, for assistive technology: the tiles' pictures carry no words.
    const std::pair<ui::PictureButton*, const char*> names[] = {
        {imgInfo, "Informazioni"},       {imgGuida, "Guida"},
        {imgApp01, "Archivio Dati"},     {btnApp01, "Archivio Dati"},
        {imgApp02, "Rarudozu Varedorur"}, {btnApp02, "Rarudozu Varedorur"},
        {imgCopyright, "Presentazione"}, {imgSito, "Sito del produttore"},
        {imgEsci, "Esci"},
    };
    for (const auto& [command, name] : names) command->setAccessibleName(QString::fromUtf8(name));
    // A tile's picture and its button are one command: the keyboard and a
    // screen reader meet the button.
    ui::MouseOnly(imgApp01);
    ui::MouseOnly(imgApp02);
    icoTitolo01 = new ui::Picture(QStringLiteral("icoTitolo01"), QStringLiteral("avvio_titolo"), QSize(400, 60), top);
    icoTitolo01->move(250, 10);
    imgSottotitolo =
        new ui::Picture(QStringLiteral("imgSottotitolo"), QStringLiteral("avvio_sottotitolo"), QSize(640, 44), top);
    imgSottotitolo->move(130, 76);
}

void TfrmAvvio::FormClose() { app_.Terminate(); }

void TfrmAvvio::imgInfoClick() { ui::OpenDialog<TfrmInfo>(this); }

void TfrmAvvio::imgGuidaClick() { ShowHelp(this, app_.Folder(), QStringLiteral("Uno sguardo a Velmora"), HelpParagraphs()); }

void TfrmAvvio::imgApp01Click() { app_.HandOver(*this, app_.frmArchivio_Indirizzi()); }

void TfrmAvvio::imgApp02Click() { app_.HandOver(*this, app_.frmArchivio_Etichette()); }

void TfrmAvvio::imgCopyrightClick() { ui::OpenDialog<TfrmSplash>(this); }

void TfrmAvvio::imgSitoClick() { TMisc::Open(kSitoProduttore); }

void TfrmAvvio::imgEsciClick() { app_.Terminate(); }

QStringList TfrmAvvio::HelpParagraphs() {
    return {
        // 1. What the program is for.
        QStringLiteral("Velmora serve a stampare in poco tempo etichette su fogli A4: ogni pagina porta fino a 24 "
                       "etichette, ciascuna con sei righe di testo libero, e ogni etichetta può avere lo stesso "
                       "contenuto delle altre o uno tutto suo. Si usa per gli indirizzi da applicare alle buste, "
                       "per contrassegnare merci e confezioni, per ordinare e archiviare documenti."),
        // 2. The data archive.
        QStringLiteral("L'area di lavoro Archivio Dati conserva i testi delle etichette e stampa gli indirizzi "
                       "direttamente sulle buste da lettera. Ogni scheda ha un nome descrittivo, il tipo di "
                       "etichetta, le note e le sei righe dell'etichetta vera e propria."),
        // 3. Creating a record.
        QStringLiteral("Per creare una scheda si preme il pulsante Nuovo (il foglio bianco), si compilano i campi e "
                       "si preme il pulsante Salva (il dischetto). Il nome e il tipo di etichetta vanno sempre "
                       "indicati."),
        // 4. Updating a record.
        QStringLiteral("Per aggiornare una scheda la si richiama, si cambiano i dati e si preme Salva. Le schede si "
                       "raggiungono con la ricerca oppure con le frecce: precedente, successiva, prima e ultima."),
        // 5. Duplica.
        QStringLiteral("Il pulsante Duplica (i due fogli sovrapposti) prepara una nuova scheda che parte dai dati "
                       "di una scheda già archiviata: basta modificare ciò che cambia e salvare."),
        // 6. Trova.
        QStringLiteral("Il pulsante Trova (la lente d'ingrandimento) apre l'elenco delle schede: si scrivono una o "
                       "più parole consecutive, si preme Trova e, premendolo ancora, si passa alla voce successiva "
                       "che le contiene. Un doppio clic su una voce carica la scheda."),
        // 7. Attachments.
        QStringLiteral("Con il pulsante Allega file si possono collegare a ogni scheda file di qualunque tipo, per "
                       "esempio documenti, fotografie o fogli di calcolo."),
        // 8. Envelope printing.
        QStringLiteral("Il pulsante Stampa stampa l'indirizzo della scheda corrente su una busta. I margini "
                       "superiore e sinistro si indicano in millimetri: valori più alti spostano la stampa verso il "
                       "basso e verso destra, valori più bassi, anche negativi se serve, verso l'alto e verso "
                       "sinistra. L'orientamento, verticale od orizzontale, si sceglie secondo la stampante."),
        // 9. Preview of one record.
        QStringLiteral("Il pulsante Anteprima (la lente sul foglio) mostra la scheda corrente ripetuta su tutte le "
                       "24 etichette del foglio, che si stampa con l'icona della stampante dell'anteprima. Per testi "
                       "diversi sulle 24 etichette si usa l'area di lavoro Rarudozu Varedorur della finestra di "
                       "avvio."),
        // 10. Export.
        QStringLiteral("Il pulsante Esporta archivio (l'icona di Excel) trasferisce tutte le schede in un foglio di "
                       "lavoro di Excel, che si apre con qualunque programma in grado di leggere i file XLS."),
        // 11. The export window.
        QStringLiteral("Nella finestra di esportazione un clic sull'icona di Excel crea subito il file XLS; "
                       "rispondendo sì alla domanda che segue il file si apre e si può salvare con il nome che si "
                       "preferisce."),
        // 12. The label sheet area.
        QStringLiteral("L'area di lavoro Rarudozu Varedorur stampa fogli A4 con i testi dell'archivio: si possono "
                       "comporre, stampare e salvare quante pagine da 24 etichette si desidera."),
        // 13. A new page.
        QStringLiteral("Per una nuova pagina si preme Nuovo e si riempiono le 24 etichette importandole "
                       "dall'archivio con i pulsanti a freccia posti a destra dei 24 campi di testo."),
        // 14. Saving and paging.
        QStringLiteral("La pagina si salva con il pulsante del dischetto; le frecce portano alla pagina "
                       "precedente, alla successiva, alla prima e all'ultima."),
        // 15. Preview and print of a page.
        QStringLiteral("Anteprima mostra la pagina prima della stampa; Stampa la stampa subito, dopo aver chiesto "
                       "il numero di copie. Le etichette si ritagliano poi dal foglio di carta comune o si staccano "
                       "dal foglio adesivo."),
        // 16. Changing texts.
        QStringLiteral("I testi si cambiano nella scheda dell'Archivio Dati e si conservano premendo Salva."),
        // 17. Local network.
        QStringLiteral("Velmora si può usare in una rete locale: più postazioni avviano il programma dalla stessa "
                       "cartella condivisa e lavorano sugli stessi archivi."),
        // 18. USB stick and backup.
        QStringLiteral("Per usarlo da una chiavetta USB basta copiare la cartella del programma e avviarlo da lì. "
                       "Copiare la cartella è anche il modo più rapido per fare una copia di sicurezza di tutti gli "
                       "archivi."),
        // 19. The password.
        QStringLiteral("L'accesso è protetto da una password che si può cambiare in ogni momento. Al primo "
                       "accesso la password è riconoscimento (da scrivere senza virgolette)."),
        // 20. Closing.
        QStringLiteral("Velmora è adatto sia alle aziende sia ai privati e si impara a usare in pochissimo tempo."),
    };
}
