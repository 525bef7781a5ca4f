#pragma once
#include "core/folder/ProgramFolder.h"
#include "print/engine/Model.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <stdexcept>
#include <variant>

// What the batch's verbs share: the command table's entries, the documents
// the printing verbs make, and the two ways a run fails. Run (Batch.cpp) is
// the one place that turns a failure into the exit status and its message.
namespace batch {

// A failure to report on standard error with exit status 1. Any other
// exception of the layers below (a file, an INI file, the PDF writer) is one
// too, its text the message.
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// A command line this tool does not understand: exit status 2, with the usage.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

struct Options {
    QString folder;
    QString pdf;
    QString printer;
    int copies = 1;
    bool quiet = false;
};

// A report prepared whole.
struct WholeReport {
    std::unique_ptr<report::TrepReport> report;
};

// A template with `count` pages that `prepare` makes one at a time: page i,
// from 0, becomes the template's only prepared page.
struct PageByPage {
    std::unique_ptr<report::TrepReport> report;
    long long count;
    std::function<void(long long)> prepare;
};

// What a printing command prints.
using Document = std::variant<WholeReport, PageByPage>;

inline report::TrepReport& ReportOf(Document& document) {
    return std::visit([](auto& kind) -> report::TrepReport& { return *kind.report; }, document);
}

// How a printing command makes its document; --pdf or --printer say where it
// goes.
using Produce = std::function<Document(const ProgramFolder&, const QStringList&)>;
// How a command that writes a file of its own writes it.
using Write = std::function<void(const ProgramFolder&, const QStringList&)>;

// A command: its name, its arguments as the usage shows them, how many it
// takes, and what it does.
struct Command {
    const char* name;
    const char* arguments;
    int minArguments;
    int maxArguments;
    std::variant<Produce, Write> action;
    // The switches of this command alone (--NAME); a Write gets those given
    // after its arguments, as typed. Every other command refuses them.
    QStringList switches = {};
    // Whether it prints label sheets, drawn through the printer's calibration.
    bool calibrated = false;
};

}  // namespace batch
