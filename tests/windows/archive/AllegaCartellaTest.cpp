#include "windows/archive/AllegaCartella.h"

#include "support/SpecialFiles.h"
#include "support/WriteFailure.h"
#include "windows/app/Velmora.h"
#include "ui/PictureButton.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "core/archive/DataRecord.h"
#include "core/archive/RecordFile.h"
#include "windows/shell/OpenURL.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testing_support;

namespace {

const QString kOverwrite = QStringLiteral(
    "Attenzione: nella cartella dei documenti allegati è presente un file con lo stesso nome.\r\n\r\n"
    "Si vuole sovrascrivere il file esistente?");
const QString kCopyFailed = QStringLiteral(
    "Attenzione: non è stato possibile copiare il file nella cartella dei documenti allegati.\n\r\n\r"
    "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma.");

const QString kNotAttachable = QStringLiteral(
    "Attenzione: il file scelto non può essere allegato.\n\r\n\r"
    "%1 non è un file ordinario: è %2.");
const QString kLink = QStringLiteral(
    "Attenzione: %1 è un collegamento simbolico. Il programma non copia i documenti allegati attraverso "
    "un collegamento e non lo sostituisce.\n\r\n\r"
    "Eliminare il collegamento e ripetere l'operazione.");
const QString kUpdated = QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");

// Bytes that a text-mode or encoding-aware copy would change.
QByteArray Content(const char* tag, int size) {
    QByteArray bytes(tag);
    bytes += QByteArray("\0\r\n\xff\x80", 5);
    while (bytes.size() < size) bytes += char(bytes.size() * 7);
    return bytes.left(size);
}

// Collects what the program hands to the desktop to open.
struct Opened {
    Opened() { previous = TMisc::SetOpener([this](const QUrl& url) { urls.push_back(url); }); }
    ~Opened() { TMisc::SetOpener(previous); }
    std::vector<QUrl> urls;
    TMisc::Opener previous;
};

// What a folder holds, entry by entry and links not followed: a file's
// bytes, where a link points, or what else stands there.
QMap<QString, QByteArray> Contents(const QString& folder) {
    QMap<QString, QByteArray> contents;
    QDirIterator entries(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QFileInfo entry = entries.nextFileInfo();
        QByteArray& content = contents[QDir(folder).relativeFilePath(entry.filePath())];
        if (entry.isSymLink()) {
            content = "link to " + QFile::encodeName(entry.symLinkTarget());
        } else if (entry.isDir()) {
            content = "folder";
        } else if (entry.isFile()) {
            QFile file(entry.filePath());
            content = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
        } else {
            content = "special";
        }
    }
    return contents;
}

// A program of the user's that writes into a FIFO as soon as someone opens it
// to read, and ends; ended when the object goes if nobody did.
class FifoWriter {
public:
    FifoWriter(const QString& fifo, const QByteArray& bytes) {
        const QByteArray path = QFile::encodeName(fifo);
        pid_ = fork();
        if (pid_ == 0) {
            const int fd = open(path.constData(), O_WRONLY);
            const bool written = fd >= 0 && write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
            _exit(written && close(fd) == 0 ? 0 : 1);
        }
    }
    ~FifoWriter() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    FifoWriter(const FifoWriter&) = delete;
    FifoWriter& operator=(const FifoWriter&) = delete;

private:
    pid_t pid_ = -1;
};

// The file dialog's step: the user picks the file and presses Apri.
ModalScript::Step Pick(const QString& file) {
    return [file](QDialog& dialog) {
        dynamic_cast<QFileDialog&>(dialog).selectFile(file);
        dialog.accept();
    };
}

// The program lies in a folder whose path holds spaces; the chosen documents
// in another folder beside it.
class AllegaCartella : public ::testing::Test {
protected:
    AllegaCartella() : program(root.File(QStringLiteral("Programma Velmora"))) {
        EnsureApplication();
        QDir(root.Path()).mkdir(QStringLiteral("Programma Velmora"));
        QDir(root.Path()).mkdir(QStringLiteral("Documenti utente"));
        app = std::make_unique<Velmora>(ProgramFolder(program));
        w = &app->frmArchivio_Indirizzi();
        w->Present();
    }

    // A document of the user's, outside the program folder.
    QString Source(const QString& name, const QByteArray& bytes) const {
        const QString file = QStringLiteral("Documenti utente/") + name;
        root.Write(file, bytes);
        return root.File(file);
    }
    QString Attached(const QString& name) const { return program + QStringLiteral("/Documenti_Allegati/") + name; }
    QByteArray ReadAttached(const QString& name) const {
        return root.Read(QStringLiteral("Programma Velmora/Documenti_Allegati/") + name);
    }
    void PutAttached(const QString& name, const QByteArray& bytes) const {
        QDir(program).mkpath(QStringLiteral("Documenti_Allegati"));
        root.Write(QStringLiteral("Programma Velmora/Documenti_Allegati/") + name, bytes);
    }
    QStringList AttachedFiles() const {
        return QDir(program + QStringLiteral("/Documenti_Allegati"))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    void SetLabels(const QStringList& texts) {
        QLabel* labels[] = {w->lblFile01, w->lblFile02, w->lblFile03, w->lblDesc01, w->lblDesc02, w->lblDesc03};
        for (int i = 0; i < 6; ++i) labels[i]->setText(texts[i]);
    }
    QStringList Labels() const {
        return {w->lblFile01->text(), w->lblFile02->text(), w->lblFile03->text(),
                w->lblDesc01->text(), w->lblDesc02->text(), w->lblDesc03->text()};
    }
    // Opens the attachments window from the data archive window; act works
    // on it, then it is left by Annulla unless act closed it.
    void Open(std::function<void(TfrmAllegaCartella&)> act) {
        script.Then([act](QDialog& dialog) { act(dynamic_cast<TfrmAllegaCartella&>(dialog)); });
        w->cmdFileClick();
        EXPECT_TRUE(script.Done());
    }

    TempFolder root;
    QString program;
    std::unique_ptr<Velmora> app;
    TfrmArchivio_Indirizzi* w = nullptr;
    MessageLog log;
    ModalScript script;
};

// The guide and the window tests find the slots' controls by their names,
// which carry the slot's number in two digits.
TEST_F(AllegaCartella, EachSlotsControlsAreNamedWithItsNumber) {
    Open([](TfrmAllegaCartella& d) {
        const auto& [a1, a2, a3] = d.attachments;
        const std::pair<const char*, QWidget*> named[] = {
            {"txtFile01", a1.txtFile},     {"txtDesc01", a1.txtDesc}, {"btnSfoglia01", a1.btnSfoglia},
            {"btnApri01", a1.btnApri},     {"imgCancella01", a1.imgCancella},
            {"txtFile02", a2.txtFile},     {"txtDesc02", a2.txtDesc}, {"btnSfoglia02", a2.btnSfoglia},
            {"btnApri02", a2.btnApri},     {"imgCancella02", a2.imgCancella},
            {"txtFile03", a3.txtFile},     {"txtDesc03", a3.txtDesc}, {"btnSfoglia03", a3.btnSfoglia},
            {"btnApri03", a3.btnApri},     {"imgCancella03", a3.imgCancella},
        };
        for (const auto& [name, widget] : named) {
            EXPECT_EQ(d.findChildren<QWidget*>(QString::fromLatin1(name)), QList<QWidget*>{widget}) << name;
        }
    });
}

TEST_F(AllegaCartella, OpensWithTheTrimmedAttachmentsOfTheRecord) {
    SetLabels({QStringLiteral(" contratto.pdf "), QStringLiteral("  "), QStringLiteral("foto.jpg"),
               QStringLiteral(" firmato "), QStringLiteral("solo descrizione"), QString()});
    Open([](TfrmAllegaCartella& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral(" Allega file"));
        EXPECT_EQ(d.lblMemory->text(), QStringLiteral("archivio_indirizzi"));
        EXPECT_FALSE(d.lblMemory->isVisible());
        QStringList texts;
        for (const QLineEdit* box : d.Boxes()) texts << box->text();
        EXPECT_EQ(texts, QStringList({QStringLiteral("contratto.pdf"), QString(), QStringLiteral("foto.jpg"),
                                      QStringLiteral("firmato"), QStringLiteral("solo descrizione"), QString()}));
        // Apri follows the name, however it changes.
        EXPECT_TRUE(d.attachments[0].btnApri->isEnabled());
        EXPECT_FALSE(d.attachments[1].btnApri->isEnabled());
        EXPECT_TRUE(d.attachments[2].btnApri->isEnabled());
        d.attachments[1].txtFile->setText(QStringLiteral("x"));
        EXPECT_TRUE(d.attachments[1].btnApri->isEnabled());
        d.attachments[1].txtFile->setText(QStringLiteral(" \t"));
        EXPECT_FALSE(d.attachments[1].btnApri->isEnabled());
        d.attachments[2].imgCancella->click();
        EXPECT_FALSE(d.attachments[2].btnApri->isEnabled());

        // The names are the user's to change only through Sfoglia and the eraser.
        EXPECT_TRUE(d.attachments[0].txtFile->isReadOnly());
        EXPECT_FALSE(d.attachments[0].txtDesc->isReadOnly());
        QApplication::setActiveWindow(&d);
        d.attachments[0].txtFile->setFocus();
        const auto& [first, second, third] = d.attachments;
        const QWidget* order[] = {first.btnSfoglia,  first.btnApri,  first.txtDesc,  second.txtFile,
                                  second.btnSfoglia, second.btnApri, second.txtDesc, third.txtFile,
                                  third.btnSfoglia,  third.btnApri,  third.txtDesc,  d.btnApplica,
                                  d.btnAnnulla};
        d.attachments[1].btnApri->setEnabled(true);  // a disabled button takes no focus
        d.attachments[2].btnApri->setEnabled(true);
        for (const QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            ASSERT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
        }
        const std::pair<QPushButton*, const char*> buttons[] = {
            {d.attachments[0].btnSfoglia, "Sfoglia..."}, {d.attachments[2].btnApri, "Apri"},
            {d.btnApplica, "Applica e chiudi"}, {d.btnAnnulla, "Annulla"}};
        for (const auto& [button, text] : buttons) EXPECT_EQ(button->text(), QString::fromLatin1(text));
        QStringList captions;
        for (const QLabel* label : d.findChildren<QLabel*>())
            if (label->isVisible()) captions << label->text();
        for (const char* n : {"1", "2", "3"}) {
            EXPECT_TRUE(captions.contains(QStringLiteral("Nome %1° file allegato:").arg(QLatin1String(n))));
            EXPECT_TRUE(captions.contains(QStringLiteral("Descrizione %1° file allegato:").arg(QLatin1String(n))));
        }
    });
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(AllegaCartella, BrowsingCreatesTheFolderCopiesTheFileAndApriOpensIt) {
    const QByteArray bytes = Content("pdf", 70000);
    const QString source = Source(QStringLiteral("fattura 1.pdf"), bytes);
    Opened opened;
    Open([&](TfrmAllegaCartella& d) {
        script.Then([&](QDialog& dialog) {
            auto& files = dynamic_cast<QFileDialog&>(dialog);
            EXPECT_EQ(files.windowTitle(), QStringLiteral("Selezionare il file da allegare:"));
            const auto* types = files.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            ASSERT_NE(types, nullptr);
            ASSERT_EQ(types->count(), 1);
            EXPECT_EQ(types->itemText(0), QStringLiteral("Tutti i file (*.*)"));
            // Every file is listed, also one without a dot in its name.
            const auto* model = files.findChild<QFileSystemModel*>();
            ASSERT_NE(model, nullptr);
            EXPECT_EQ(model->nameFilters(), QStringList(QStringLiteral("*")));
            Pick(source)(dialog);
        });
        d.attachments[1].btnSfoglia->click();
        EXPECT_EQ(d.attachments[1].txtFile->text(), QStringLiteral("fattura 1.pdf"));
        EXPECT_TRUE(d.attachments[1].btnApri->isEnabled());
        d.attachments[1].btnApri->click();
    });
    EXPECT_EQ(ReadAttached(QStringLiteral("fattura 1.pdf")), bytes);
    EXPECT_EQ(AttachedFiles(), QStringList(QStringLiteral("fattura 1.pdf")));
    ASSERT_EQ(opened.urls.size(), 1u);
    EXPECT_EQ(opened.urls[0], QUrl::fromLocalFile(Attached(QStringLiteral("fattura 1.pdf"))));
    EXPECT_TRUE(QFile::exists(opened.urls[0].toLocalFile()));
    EXPECT_TRUE(log.messages.empty());
    // Annulla: the copy stays, the record's labels do not change.
    EXPECT_EQ(Labels(), QStringList({"", "", "", "", "", ""}));
}

TEST_F(AllegaCartella, ANameInTheFolderAsksBeforeItIsReplaced) {
    struct Case {
        ui::Answer answer;
        QByteArray kept;
    };
    const QByteArray old = Content("vecchio", 500), fresh = Content("nuovo", 900);
    for (const Case& c : {Case{ui::Answer::Yes, fresh}, Case{ui::Answer::No, old}}) {
        log.Clear();
        PutAttached(QStringLiteral("LEGGIMI"), old);
        const QString source = Source(QStringLiteral("LEGGIMI"), fresh);
        log.answers.push_back(c.answer);
        Open([&](TfrmAllegaCartella& d) {
            d.attachments[0].txtFile->setText(QStringLiteral("altro.txt"));
            script.Then(Pick(source));
            d.attachments[0].btnSfoglia->click();
            EXPECT_EQ(d.attachments[0].txtFile->text(), QStringLiteral("LEGGIMI"));
        });
        ASSERT_EQ(log.messages.size(), 1u);
        EXPECT_EQ(log.messages[0].text, kOverwrite);
        EXPECT_EQ(log.messages[0].kind, ui::Kind::Confirmation);
        EXPECT_EQ(log.messages[0].buttons, ui::Buttons::YesNo);
        EXPECT_EQ(ReadAttached(QStringLiteral("LEGGIMI")), c.kept);
        EXPECT_EQ(AttachedFiles(), QStringList(QStringLiteral("LEGGIMI")));
    }
}

// After a document is chosen, what the user types next describes it, and the
// next choice opens in the folder of the last one, also in a window opened
// anew.
TEST_F(AllegaCartella, TheNextChoiceOpensWhereTheLastWasMadeAndTypingDescribesIt) {
    SetLabels({"", "", "", "", "", ""});
    const QString source = Source(QStringLiteral("preventivo.pdf"), "%PDF-1.4");
    QStringList opened;
    const auto pickAndNote = [&](const QString& file) {
        return [&opened, file](QDialog& dialog) {
            auto& files = dynamic_cast<QFileDialog&>(dialog);
            opened << files.directory().absolutePath();
            files.selectFile(file);
            dialog.accept();
        };
    };
    Open([&](TfrmAllegaCartella& d) {
        script.Then(pickAndNote(source));
        d.attachments[0].btnSfoglia->click();
        EXPECT_EQ(d.focusWidget(), d.attachments[0].txtDesc);
        d.btnApplica->click();
    });
    Open([&](TfrmAllegaCartella& d) {
        script.Then(pickAndNote(source));
        d.attachments[1].btnSfoglia->click();
        d.btnApplica->click();
    });
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[1], QFileInfo(source).absolutePath());
}

TEST_F(AllegaCartella, CancellingTheFileDialogChangesNothing) {
    SetLabels({QStringLiteral("vecchio.pdf"), "", "", "", "", ""});
    Open([&](TfrmAllegaCartella& d) {
        script.Then([](QDialog& dialog) { dialog.reject(); });
        d.attachments[0].btnSfoglia->click();
        EXPECT_EQ(d.attachments[0].txtFile->text(), QStringLiteral("vecchio.pdf"));
        d.btnApplica->click();
    });
    EXPECT_TRUE(log.messages.empty());
    EXPECT_FALSE(QFileInfo::exists(program + QStringLiteral("/Documenti_Allegati")));
    EXPECT_EQ(w->lblFile01->text(), QStringLiteral("vecchio.pdf"));
}

TEST_F(AllegaCartella, EraserKeepsTheDescriptionAndSaveStoresIt) {
    DataRecord record;
    record.SetText(DataRecord::Nome, QStringLiteral("Mario Rossi"));
    record.SetText(DataRecord::Tipo, QStringLiteral("Indirizzo"));
    record.SetText(DataRecord::Rigo01, QStringLiteral("Via Roma 1"));
    record.SetText(DataRecord::File01, QStringLiteral("contratto.pdf"));
    record.SetText(DataRecord::Desc01, QStringLiteral("Contratto firmato"));
    record.SetText(DataRecord::File02, QStringLiteral("foto.jpg"));
    DataRecordFile(program).Append(record);
    PutAttached(QStringLiteral("contratto.pdf"), Content("c", 100));
    w->cmdPrimoClick();

    Open([](TfrmAllegaCartella& d) {
        d.attachments[0].imgCancella->click();
        EXPECT_TRUE(d.attachments[0].txtFile->text().isEmpty());
        EXPECT_FALSE(d.attachments[0].btnApri->isEnabled());
        EXPECT_EQ(d.attachments[0].txtDesc->text(), QStringLiteral("Contratto firmato"));
        d.attachments[1].txtDesc->setText(QStringLiteral("  Foto della casa "));
        d.btnApplica->click();
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(Labels(), QStringList({"", QStringLiteral("foto.jpg"), "", QStringLiteral("Contratto firmato"),
                                     QStringLiteral("Foto della casa"), ""}));
    EXPECT_EQ(ReadAttached(QStringLiteral("contratto.pdf")), Content("c", 100));

    w->cmdSalvaClick();
    record.SetText(DataRecord::File01, QString());
    record.SetText(DataRecord::Desc02, QStringLiteral("Foto della casa"));
    EXPECT_EQ(root.Read(QStringLiteral("Programma Velmora/Archivio_Dati.pro")),
              QByteArray(reinterpret_cast<const char*>(&record), sizeof record));
}

TEST_F(AllegaCartella, ApplicaActsOnlyForTheDataArchive) {
    SetLabels({QStringLiteral("a.pdf"), "", "", "", "", ""});
    Open([](TfrmAllegaCartella& d) {
        d.lblMemory->setText(QStringLiteral("archivio_etichette"));
        d.attachments[0].imgCancella->click();
        d.btnApplica->click();
        EXPECT_TRUE(d.isVisible());
        d.lblMemory->setText(QStringLiteral(" archivio_indirizzi "));
        d.btnApplica->click();
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_TRUE(w->lblFile01->text().isEmpty());
}

TEST_F(AllegaCartella, ANameThatIsNotBareOpensNothing) {
    struct Case {
        const char* stored;
        const char* opened;  // in the attachments folder; none when null
    };
    const Case cases[] = {
        {"../Archivio_Dati.pro", nullptr}, {"/etc/passwd", nullptr},   {"..", nullptr},
        {".", nullptr},                    {"..\\..\\x.pdf", nullptr}, {"sotto/x.pdf", nullptr},
        {"x.pdf", "x.pdf"},                {"...pdf", "...pdf"},       {"nota 2.txt", "nota 2.txt"},
    };
    for (const Case& c : cases) {
        DataRecord record;
        record.SetText(DataRecord::File03, QString::fromLatin1(c.stored));
        w->ShowRecord(record, 1);
        Opened opened;
        Open([](TfrmAllegaCartella& d) {
            EXPECT_TRUE(d.attachments[2].btnApri->isEnabled());
            d.attachments[2].btnApri->click();
        });
        const std::vector<QUrl> expected =
            c.opened ? std::vector<QUrl>{QUrl::fromLocalFile(Attached(QString::fromLatin1(c.opened)))}
                     : std::vector<QUrl>{};
        EXPECT_EQ(opened.urls, expected) << c.stored;
    }
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(AllegaCartella, AFailedCopyKeepsTheOldFileSaysSoAndRestoresTheName) {
    const QByteArray old = Content("vecchio", 1000);
    const QString source = Source(QStringLiteral("contratto.pdf"), Content("nuovo", 300000));
    struct Case {
        const char* what;
        std::function<void()> prepare;
        bool asks;
        std::optional<QByteArray> kept;  // the folder's file after the failure
    };
    const Case cases[] = {
        {"the copy stops part-way at a file size limit",
         [&] { PutAttached(QStringLiteral("contratto.pdf"), old); }, true, old},
        {"the copy of a new name stops part-way at a file size limit", [] {}, false, std::nullopt},
        {"a folder stands where the file should go",
         [&] { QDir(program).mkpath(QStringLiteral("Documenti_Allegati/contratto.pdf")); }, true, std::nullopt},
        {"a file stands where the folder should go",
         [&] { root.Write(QStringLiteral("Programma Velmora/Documenti_Allegati"), "x"); }, false, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(program + QStringLiteral("/Documenti_Allegati")).removeRecursively();
        QFile::remove(program + QStringLiteral("/Documenti_Allegati"));
        c.prepare();
        log.Clear();
        Open([&](TfrmAllegaCartella& d) {
            d.attachments[0].txtFile->setText(QStringLiteral("precedente.pdf"));
            script.Then(Pick(source));
            WritesFail limit(64 * 1024);
            d.attachments[0].btnSfoglia->click();
            EXPECT_EQ(d.attachments[0].txtFile->text(), QStringLiteral("precedente.pdf"));
        });
        const QStringList expected = c.asks ? QStringList({kOverwrite, kCopyFailed}) : QStringList(kCopyFailed);
        EXPECT_EQ(log.Texts(), expected);
        EXPECT_EQ(log.messages.back().kind, ui::Kind::Error);
        // No temporary file is left beside what stood there.
        EXPECT_EQ(AttachedFiles(), c.asks ? QStringList(QStringLiteral("contratto.pdf")) : QStringList());
        if (c.kept) {
            EXPECT_EQ(ReadAttached(QStringLiteral("contratto.pdf")), *c.kept);
        }
    }
}

TEST_F(AllegaCartella, ChoosingTheFolderOwnFileTakesItsNameAndCopiesNothing) {
    const QByteArray bytes = Content("unico", 5000);
    PutAttached(QStringLiteral("x.pdf"), bytes);
    Open([&](TfrmAllegaCartella& d) {
        script.Then(Pick(Attached(QStringLiteral("x.pdf"))));
        d.attachments[1].btnSfoglia->click();
        EXPECT_EQ(d.attachments[1].txtFile->text(), QStringLiteral("x.pdf"));
        d.btnApplica->click();
    });
    EXPECT_TRUE(log.messages.empty());
    EXPECT_EQ(ReadAttached(QStringLiteral("x.pdf")), bytes);
    EXPECT_EQ(AttachedFiles(), QStringList(QStringLiteral("x.pdf")));
    EXPECT_EQ(w->lblFile02->text(), QStringLiteral("x.pdf"));
}

// Watches for the copy's progress dialog; when cancel is set, the user
// presses its Annulla as soon as the copy lets events through.
class ProgressWatch : public QObject {
public:
    explicit ProgressWatch(bool cancel) : cancel_(cancel) { qApp->installEventFilter(this); }
    ~ProgressWatch() override { qApp->removeEventFilter(this); }
    QStringList shown;  // captions of the progress dialogs shown

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* progress = qobject_cast<QProgressDialog*>(object);
        if (!progress || event->type() != QEvent::Show) return false;
        shown << progress->windowTitle();
        if (cancel_)
            QMetaObject::invokeMethod(
                progress,
                [progress] { QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton); },
                Qt::QueuedConnection);
        return false;
    }

private:
    bool cancel_;
};

TEST_F(AllegaCartella, ALargeCopyShowsAProgressThatCanCancelIt) {
    // "Large" from 1 MiB here; the copy goes by chunks of 1 MiB.
    const qint64 previous = TfrmAllegaCartella::SetLargeFileSize(1 << 20);
    struct Case {
        int size;
        bool cancel;
        bool progress;
    };
    const Case cases[] = {{(3 << 20) + 5, true, true}, {(3 << 20) + 5, false, true}, {(1 << 20) - 1, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << (c.cancel ? " cancelled" : ""));
        QDir(program + QStringLiteral("/Documenti_Allegati")).removeRecursively();
        const QByteArray bytes = Content("grande", c.size);
        const QString source = Source(QStringLiteral("video.mp4"), bytes);
        ProgressWatch watch(c.cancel);
        Open([&](TfrmAllegaCartella& d) {
            script.Then(Pick(source));
            d.attachments[0].btnSfoglia->click();
            EXPECT_EQ(d.attachments[0].txtFile->text(), c.cancel ? QString() : QStringLiteral("video.mp4"));
            EXPECT_EQ(d.attachments[0].btnApri->isEnabled(), !c.cancel);
        });
        EXPECT_EQ(watch.shown, c.progress ? QStringList(QStringLiteral(" Allega file")) : QStringList());
        EXPECT_EQ(AttachedFiles(), c.cancel ? QStringList() : QStringList(QStringLiteral("video.mp4")));
        if (!c.cancel) {
            EXPECT_EQ(ReadAttached(QStringLiteral("video.mp4")), bytes);
        }
    }
    EXPECT_TRUE(log.messages.empty());
    TfrmAllegaCartella::SetLargeFileSize(previous);
}

}  // namespace

namespace {

// From the choice of a file to the record saved: the record keeps the very
// name the document was copied under, which Apri opens, whatever the chosen
// file's name; a link in the attachments folder or a chosen file that is not
// a regular file is refused with a message, the slot keeps its document, and
// nothing outside the folder is ever written.
TEST_F(AllegaCartella, TheRecordKeepsTheNameOfTheCopyAndNothingOutsideIsWritten) {
    const QByteArray chosen = Content("scelto", 3000), other = Content("altro", 700), previous = Content("prima", 400);
    const QString user = root.File(QStringLiteral("Documenti utente"));
    const QString folder = program + QStringLiteral("/Documenti_Allegati");
    std::unique_ptr<FifoWriter> writer;
    const auto linkInFolder = [&](const QString& target) {
        ASSERT_TRUE(QFile::link(target, Attached(QStringLiteral("nota.txt"))));
    };
    struct Case {
        const char* what;
        std::function<QString()> choose;  // makes the chosen file; its full path
        std::function<void()> prepare;    // puts into the attachments folder what stands there beside precedente.pdf
        std::vector<ui::Answer> answers;
        QString stored;  // what the record keeps; precedente.pdf when the file was refused
        QByteArray document;
        QStringList messages;
    };
    const QString precedente = QStringLiteral("precedente.pdf");
    const Case cases[] = {
        {"letters that the code page lacks", [&] { return Source(QStringLiteral("Łódź_日本.txt"), chosen); }, [] {},
         {}, QStringLiteral("Lódz___.txt"), chosen, {}},
        {"characters that a Windows file name cannot hold",
         [&] { return Source(QStringLiteral("Fattura: 03|2024 <copia>.pdf"), chosen); }, [] {}, {},
         QStringLiteral("Fattura_ 03_2024 _copia_.pdf"), chosen, {}},
        {"a name of 254 bytes", [&] { return Source(QString(250, u'x') + QStringLiteral(".pdf"), chosen); }, [] {},
         {}, QString(246, u'x') + QStringLiteral(".pdf"), chosen, {}},
        {"a name that meets another after best fit, replaced",
         [&] { return Source(QStringLiteral("ząb.txt"), chosen); },
         [&] { PutAttached(QStringLiteral("zab.txt"), other); }, {ui::Answer::Yes}, QStringLiteral("zab.txt"), chosen,
         {kOverwrite}},
        {"a name that meets another after best fit, kept", [&] { return Source(QStringLiteral("ząb.txt"), chosen); },
         [&] { PutAttached(QStringLiteral("zab.txt"), other); }, {ui::Answer::No}, QStringLiteral("zab.txt"), other,
         {kOverwrite}},
        {"a dangling link under the name", [&] { return Source(QStringLiteral("nota.txt"), chosen); },
         [&] { linkInFolder(user + QStringLiteral("/creato.txt")); }, {ui::Answer::Yes}, precedente, previous,
         {kLink.arg(Attached(QStringLiteral("nota.txt")))}},
        {"a link to a file outside under the name", [&] { return Source(QStringLiteral("nota.txt"), chosen); },
         [&] { linkInFolder(Source(QStringLiteral("segreto.txt"), other)); }, {ui::Answer::Yes}, precedente,
         previous, {kLink.arg(Attached(QStringLiteral("nota.txt")))}},
        {"the attachments folder is a link to a folder outside",
         [&] { return Source(QStringLiteral("nota.txt"), chosen); },
         [&] {
             ASSERT_TRUE(QDir(user).mkdir(QStringLiteral("altrove")));
             ASSERT_TRUE(QFile::rename(Attached(precedente), user + QStringLiteral("/altrove/") + precedente));
             ASSERT_TRUE(QDir(folder).removeRecursively());
             ASSERT_TRUE(QFile::link(user + QStringLiteral("/altrove"), folder));
         },
         {ui::Answer::Yes}, precedente, previous, {kLink.arg(folder)}},
        {"a FIFO",
         [&] {
             const QString fifo = user + QStringLiteral("/coda");
             EXPECT_TRUE(MakeFifo(fifo));
             writer = std::make_unique<FifoWriter>(fifo, chosen);
             return fifo;
         },
         [] {}, {}, precedente, previous,
         {kNotAttachable.arg(user + QStringLiteral("/coda"), QStringLiteral("una pipe con nome (FIFO)"))}},
        {"the zero device", [] { return QStringLiteral("/dev/zero"); }, [] {}, {}, precedente, previous,
         {kNotAttachable.arg(QStringLiteral("/dev/zero"), QStringLiteral("un dispositivo a caratteri"))}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writer.reset();
        if (QFileInfo(folder).isSymLink()) QFile::remove(folder);
        QDir(folder).removeRecursively();
        QDir(user).removeRecursively();
        QDir(root.Path()).mkdir(QStringLiteral("Documenti utente"));
        QFile::remove(program + QStringLiteral("/Archivio_Dati.pro"));
        DataRecord record;
        record.SetText(DataRecord::Nome, QStringLiteral("Mario Rossi"));
        record.SetText(DataRecord::Tipo, QStringLiteral("Indirizzo"));
        record.SetText(DataRecord::Rigo01, QStringLiteral("Via Roma 1"));
        record.SetText(DataRecord::File01, precedente);
        DataRecordFile(program).Append(record);
        PutAttached(precedente, previous);
        w->cmdPrimoClick();
        const QString source = c.choose();
        c.prepare();
        const QMap<QString, QByteArray> outside = Contents(user);
        log.Clear();
        log.answers.assign(c.answers.begin(), c.answers.end());
        Opened opened;
        Open([&](TfrmAllegaCartella& d) {
            script.Then(Pick(source));
            {
                // So that an endless source cannot fill the disk.
                WritesFail limit(1 << 20);
                d.attachments[0].btnSfoglia->click();
            }
            EXPECT_EQ(d.attachments[0].txtFile->text(), c.stored);
            d.attachments[0].btnApri->click();
            d.btnApplica->click();
        });
        w->cmdSalvaClick();
        EXPECT_EQ(log.Texts(), QStringList(c.messages) << kUpdated) << log.Texts().join(u'|').toStdString();

        DataRecord saved;
        DataRecordFile(program).Read(saved);
        const QString stored = saved.Text(DataRecord::File01);
        EXPECT_EQ(stored, c.stored);
        EXPECT_EQ(ReadAttached(stored), c.document);
        EXPECT_EQ(opened.urls, std::vector<QUrl>{QUrl::fromLocalFile(Attached(stored))});
        EXPECT_EQ(Contents(user), outside);
        for (const QString& name : AttachedFiles()) EXPECT_FALSE(name.startsWith(u'.')) << name.toStdString();
    }
}

}  // namespace
