#pragma once
#include "core/folder/ProgramFolder.h"
#include "core/archive/RecordFile.h"
#include "ui/Accessibility.h"

#include <QLabel>
#include <QString>

#include <exception>
#include <functional>

class QWidget;

// The messages of the two archive windows' file commands.
namespace paging {
void ReportAccessError(QWidget* window);
void ReportEmptyArchive(QWidget* window);
void ReportUpdated(QWidget* window);
void ReportAppended(QWidget* window);
}  // namespace paging

// Paging and saving of one archive window over its record file: the record
// number lives in lblPosizione alone (empty for a record not yet in the file);
// every command opens the file, does its work, closes it, and reports any
// failure with the access message. The window supplies how a record is shown
// and how one is built from the screen, and what a record is called: the
// number a command moves to is announced as "Scheda 2 di 5".
template <class Record>
class RecordPaging {
public:
    using Show = std::function<void(const Record&)>;
    using Build = std::function<Record()>;

    RecordPaging(QWidget* window, const ProgramFolder& folder, QLabel* lblPosizione, QString noun, Show show,
                 Build build)
        : window_(window), folder_(folder), lblPosizione_(lblPosizione), noun_(std::move(noun)),
          show_(std::move(show)), build_(std::move(build)) {}

    void First() {
        Guard([&](RecordFile<Record>& file) {
            const long long count = file.RecordCount();
            if (count == 0) return Empty(file);
            ShowRecord(file, 1);
        });
    }

    void Last() {
        Guard([&](RecordFile<Record>& file) {
            const long long count = file.RecordCount();
            if (count == 0) return Empty(file);
            ShowRecord(file, count);
        });
    }

    void Next() {
        Guard([&](RecordFile<Record>& file) {
            const long long n = Number();
            const long long count = file.RecordCount();
            if (count == 0) {
                lblPosizione_->clear();
                return Empty(file);
            }
            if (n < count) ShowRecord(file, n + 1);
        });
    }

    void Previous() {
        Guard([&](RecordFile<Record>& file) {
            if (lblPosizione_->text() == QLatin1String("1")) return;
            if (file.RecordCount() == 0) return Empty(file);
            const long long n = Number();
            ShowRecord(file, n == 0 ? 1 : n - 1);
        });
    }

    // Appends the screen's record when the number is blank, otherwise rewrites
    // record n in place. The window has checked the screen before.
    void Save() {
        Guard([&](RecordFile<Record>& file) {
            const Record record = build_();
            const bool update = Number() != 0;
            if (update) {
                file.Seek(Number() - 1);
                file.Write(record);
            } else {
                file.Append(record);
            }
            // The record is stored only once the file has closed without error.
            const long long number = file.Position();
            file.Close();
            lblPosizione_->setText(QString::number(number));
            update ? paging::ReportUpdated(window_) : paging::ReportAppended(window_);
        });
    }

    // Opens and closes the file: checks that the archive can be reached and
    // creates it when missing. False after reporting a failure.
    bool Probe() {
        return Guard([](RecordFile<Record>&) {});
    }

private:
    long long Number() const { return lblPosizione_->text().trimmed().toLongLong(); }

    void ShowRecord(RecordFile<Record>& file, long long k) {
        Record record;
        file.Seek(k - 1);
        file.Read(record);
        show_(record);
        lblPosizione_->setText(QString::number(file.Position()));
        ui::Announce(QStringLiteral("%1 %2 di %3").arg(noun_, lblPosizione_->text()).arg(file.RecordCount()));
    }

    void Empty(RecordFile<Record>& file) {
        file.Close();
        paging::ReportEmptyArchive(window_);
    }

    template <class Work>
    bool Guard(Work work) {
        try {
            RecordFile<Record> file(folder_.Path());
            work(file);
            return true;
        } catch (const std::exception&) {
            paging::ReportAccessError(window_);
            return false;
        }
    }

    QWidget* window_;
    const ProgramFolder& folder_;
    QLabel* lblPosizione_;
    QString noun_;
    Show show_;
    Build build_;
};
