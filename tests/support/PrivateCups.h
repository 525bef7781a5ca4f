#pragma once
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class QProcess;

namespace testing_support {

// A CUPS scheduler of the test's own: cupsd in the foreground on a Unix
// socket in a temporary folder, with its own configuration, spool and logs.
// Creating one points CUPS_SERVER of this process at its socket, so it must
// exist before Qt's print support first asks CUPS anything (libcups reads the
// variable once). With a queue, the scheduler holds one printer "VelmoraPDF",
// the system default, on the generic PDF driver of cups-filters, whose device
// is the file OutputFile(). Nothing touches the machine's own CUPS.
class PrivateCups {
public:
    enum class Queue { None, Pdf };
    explicit PrivateCups(Queue queue);
    ~PrivateCups();

    static constexpr const char* kPrinter = "VelmoraPDF";

    // Whether the scheduler is up (and the queue added); Error() says why not.
    bool Ready() const { return ready_; }
    const QString& Error() const { return error_; }
    QString OutputFile() const;
    QString Socket() const;

    // Adds a queue of that name on the generic PDF driver, its device the
    // file OutputFile(name), or removes one; false when lpadmin fails.
    bool AddQueue(const QString& name) const;
    bool RemoveQueue(const QString& name) const;
    QString OutputFile(const QString& queue) const;
    // How many jobs the scheduler has or had, on every queue it has now.
    int JobCount() const;

    // Waits until the queue has no pending job and at least `jobs` jobs have
    // completed in all; false on timeout.
    bool WaitForJobs(int jobs, int timeoutMs = 30000) const;
    // The output of the last job.
    QByteArray ReadOutput() const;

private:
    bool Run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr) const;
    bool Start();
    void Stop();

    QTemporaryDir dir_;
    std::unique_ptr<QProcess> cupsd_;
    bool ready_ = false;
    QString error_;
};

}  // namespace testing_support
