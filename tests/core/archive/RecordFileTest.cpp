#include "core/archive/DataRecord.h"
#include "core/platform/Locks.h"
#include "support/NeedsRoot.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <functional>
#include <string>
#include <fcntl.h>
#include <limits>
#include <random>
#include <set>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

using testing_support::TempFolder;

namespace {

DataRecord Sample(const QString& name) {
    DataRecord record;
    for (int f = 0; f < DataRecord::kFieldCount; ++f)
        record.SetText(DataRecord::Field(f), name + QStringLiteral("/%1").arg(f));
    return record;
}

QByteArray Bytes(const DataRecord& record) {
    return QByteArray(reinterpret_cast<const char*>(&record), sizeof record);
}

TEST(DataRecordFile, OpenCreatesAnEmptyArchive) {
    TempFolder dir;
    DataRecordFile file(dir.Path());
    EXPECT_TRUE(QFile::exists(dir.File("Archivio_Dati.pro")));
    EXPECT_EQ(file.RecordCount(), 0);
    EXPECT_TRUE(file.AtEnd());
}

TEST(DataRecordFile, FieldOffsetsFollowTheLayout) {
    TempFolder dir;
    DataRecord record;
    record.SetText(DataRecord::Tipo, QStringLiteral("T"));
    record.SetText(DataRecord::Desc03, QStringLiteral("D3"));
    DataRecordFile(dir.Path()).Append(record);
    const QByteArray bytes = dir.Read("Archivio_Dati.pro");
    ASSERT_EQ(bytes.size(), 3765);
    EXPECT_EQ(bytes.mid(251, 2), QByteArray("\x01T", 2));
    EXPECT_EQ(bytes.mid(3514, 3), QByteArray("\x02" "D3", 3));
}

TEST(DataRecordFile, PartialTrailingRecordIsNotARecord) {
    // 3764 bytes count as empty; 7530 + 100 bytes as two records.
    struct Case {
        int size;
        long long count;
        int sizeAfterAppend;
    };
    for (const Case& c : {Case{3764, 0, 3765}, Case{7530 + 100, 2, 11295}}) {
        TempFolder dir;
        dir.Write("Archivio_Dati.pro", QByteArray(c.size, '\x07'));
        DataRecordFile file(dir.Path());
        EXPECT_EQ(file.RecordCount(), c.count);
        file.Seek(c.count);
        DataRecord record;
        EXPECT_THROW(file.Read(record), FileError);
        file.Append(Sample(QStringLiteral("new")));
        EXPECT_EQ(file.Position(), c.count + 1);
        file.Close();
        const QByteArray bytes = dir.Read("Archivio_Dati.pro");
        EXPECT_EQ(bytes.size(), c.sizeAfterAppend);
        EXPECT_EQ(bytes.mid(static_cast<int>(c.count) * 3765), Bytes(Sample(QStringLiteral("new"))));
    }
}

// Reading many records at once, in pieces, while another copy of the program
// changes the file: every whole record there when the reading began is handed
// over once, in file order, with its number; records appended meanwhile are
// not; where the file was cut short, the whole records before the cut are
// handed over and the reading then fails as Read does.
TEST(DataRecordFile, ReadManyHandsOverEachWholeRecordOnce) {
    constexpr int kRecords = 1000;  // far more than one piece holds
    struct Case {
        const char* what;
        std::function<void(const QString& path)> meanwhile;  // at the first record handed over
        int handed;
        bool fails;
    };
    const Case cases[] = {
        {"the file as it was, a partial record after the last", nullptr, kRecords, false},
        {"records appended meanwhile",
         [](const QString& folder) {
             DataRecordFile other(folder);
             for (int i = 0; i < 5; ++i) other.Append(Sample(QStringLiteral("new")));
         },
         kRecords, false},
        {"cut short meanwhile, in the middle of a record",
         [](const QString& folder) {
             ASSERT_EQ(::truncate(QFile::encodeName(folder + QStringLiteral("/Archivio_Dati.pro")).constData(),
                                  600 * 3765 + 100),
                       0);
         },
         600, true},
    };
    for (const Case& c : cases) {
        TempFolder dir;
        DataRecordFile(dir.Path()).AppendMany(kRecords, [](long long i, DataRecord& record) {
            record = Sample(QString::number(i + 1));
        });
        QFile partial(dir.File("Archivio_Dati.pro"));
        ASSERT_TRUE(partial.open(QIODevice::Append));
        partial.write(QByteArray(100, '\x07'));
        partial.close();

        DataRecordFile file(dir.Path());
        QStringList handed;
        const auto read = [&] {
            file.ReadMany(file.RecordCount(), [&](const DataRecord& record) {
                if (handed.isEmpty() && c.meanwhile) c.meanwhile(dir.Path());
                handed << QStringLiteral("%1 %2").arg(file.Position()).arg(record.Text(DataRecord::Nome));
            });
        };
        if (c.fails) {
            EXPECT_THROW(read(), FileError) << c.what;
        } else {
            EXPECT_NO_THROW(read()) << c.what;
        }
        QStringList expected;
        for (int n = 1; n <= c.handed; ++n) expected << QStringLiteral("%1 %1/0").arg(n);
        EXPECT_EQ(handed, expected) << c.what;
        EXPECT_EQ(file.Position(), c.handed) << c.what;
    }
}

TEST(DataRecordFile, UpdateInPlaceTouchesOnlyItsRecord) {
    TempFolder dir;
    {
        DataRecordFile file(dir.Path());
        for (const char* name : {"one", "two", "three"}) file.Append(Sample(QString::fromLatin1(name)));
    }
    const QByteArray before = dir.Read("Archivio_Dati.pro");
    DataRecordFile file(dir.Path());
    file.Seek(1);
    file.Write(Sample(QStringLiteral("TWO")));
    EXPECT_EQ(file.Position(), 2);
    file.Close();
    const QByteArray after = dir.Read("Archivio_Dati.pro");
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.left(3765), before.left(3765));
    EXPECT_EQ(after.mid(7530), before.mid(7530));
    EXPECT_EQ(after.mid(3765, 3765), Bytes(Sample(QStringLiteral("TWO"))));
}

TEST(DataRecordFile, WritePastTheEndFailsAndChangesNothing) {
    TempFolder dir;
    DataRecordFile file(dir.Path());
    file.Append(Sample(QStringLiteral("one")));
    file.Seek(3);
    EXPECT_THROW(file.Write(Sample(QStringLiteral("hole"))), FileError);
    EXPECT_EQ(file.RecordCount(), 1);
}

// Opening as an ordinary user (root ignores permissions): true when it fails
// with FileError.
bool OpenFailsAsOrdinaryUser(const QString& folder) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        try {
            DataRecordFile file(folder);
        } catch (const FileError&) {
            _exit(0);
        }
        _exit(1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(DataRecordFile, ReadOnlyFileOrFolderCannotBeOpened) {
    const auto rx = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup |
                    QFile::ExeGroup;
    {
        SCOPED_TRACE("read-only folder, no archive");
        TempFolder dir;
        QFile::setPermissions(dir.Path(), rx);
        EXPECT_TRUE(OpenFailsAsOrdinaryUser(dir.Path()));
        EXPECT_FALSE(QFile::exists(dir.File("Archivio_Dati.pro")));
    }
    {
        SCOPED_TRACE("read-only archive in a writable folder");
        TempFolder dir;
        dir.Write("Archivio_Dati.pro", QByteArray());
        QFile::setPermissions(dir.Path(), rx | QFile::WriteOwner | QFile::WriteOther | QFile::WriteGroup);
        QFile::setPermissions(dir.File("Archivio_Dati.pro"), QFile::ReadOwner | QFile::ReadOther);
        EXPECT_TRUE(OpenFailsAsOrdinaryUser(dir.Path()));
        // The same folder with a writable archive opens.
        QFile::setPermissions(dir.File("Archivio_Dati.pro"), QFile::ReadOther | QFile::WriteOther);
        EXPECT_FALSE(OpenFailsAsOrdinaryUser(dir.Path()));
    }
}

TEST(DataRecordFile, AStuckLockFailsTheAppendInsteadOfWaitingForEver) {
    TempFolder dir;
    DataRecordFile file(dir.Path());
    file.Append(Sample(QStringLiteral("one")));
    // Another handle (as another copy of the program would) holds the lock.
    const int other = ::open(QFile::encodeName(dir.File("Archivio_Dati.pro")).constData(), O_RDWR);
    ASSERT_GE(other, 0);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    ASSERT_EQ(fcntl(other, F_OFD_SETLK, &lock), 0);
    EXPECT_THROW(file.Append(Sample(QStringLiteral("two"))), FileError);
    EXPECT_EQ(file.RecordCount(), 1);
    ::close(other);
    file.Append(Sample(QStringLiteral("two")));
    EXPECT_EQ(file.Position(), 2);
}

// The two ways appends exclude each other: the advisory lock, and the lock
// file beside the archive where the lock call fails as not supported.
struct LockKind {
    const char* name;
    bool advisory;
};
const LockKind kLockKinds[] = {{"advisory lock", true}, {"lock file", false}};

// While it lives, the advisory lock call fails as on a file system that keeps
// no locks (some network mounts).
class NoAdvisoryLocks {
public:
    explicit NoAdvisoryLocks(bool active = true)
        : previous_(active ? platform::SetLockCall([](const platform::File&) { return platform::LockResult::Unsupported; })
                           : nullptr),
          active_(active) {}
    ~NoAdvisoryLocks() {
        if (active_) platform::SetLockCall(previous_);
    }
    NoAdvisoryLocks(const NoAdvisoryLocks&) = delete;
    NoAdvisoryLocks& operator=(const NoAdvisoryLocks&) = delete;

private:
    platform::LockCall previous_;
    bool active_;
};

// The names of the Sample records in the archive, each checked to be whole
// and written once.
std::set<QString> WholeRecordNames(const TempFolder& dir) {
    DataRecordFile file(dir.Path());
    std::set<QString> names;
    while (!file.AtEnd()) {
        DataRecord record;
        file.Read(record);
        const QString name = record.Text(DataRecord::Nome).section(QLatin1Char('/'), 0, 0);
        EXPECT_EQ(Bytes(record), Bytes(Sample(name))) << "torn record " << file.Position();
        EXPECT_TRUE(names.insert(name).second) << "written twice: " << name.toStdString();
    }
    return names;
}

TEST(DataRecordFile, ConcurrentAppendsLoseAndTearNothing) {
    for (const LockKind& kind : kLockKinds) {
        SCOPED_TRACE(kind.name);
        NoAdvisoryLocks noLocks(!kind.advisory);
        TempFolder dir;
        constexpr int kProcesses = 4;
        constexpr int kEach = 500;
        std::vector<pid_t> children;
        for (int p = 0; p < kProcesses; ++p) {
            const pid_t pid = fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                // Each append is one short-lived open, as in the program.
                for (int i = 0; i < kEach; ++i) DataRecordFile(dir.Path()).Append(Sample(QStringLiteral("P%1-%2").arg(p).arg(i)));
                _exit(0);
            }
            children.push_back(pid);
        }
        for (pid_t pid : children) {
            int status = 0;
            waitpid(pid, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        EXPECT_EQ(DataRecordFile(dir.Path()).RecordCount(), kProcesses * kEach);
        EXPECT_EQ(WholeRecordNames(dir).size(), static_cast<size_t>(kProcesses * kEach));
        EXPECT_FALSE(QFile::exists(dir.File("Archivio_Dati.pro.lock")));
    }
}

QByteArray ThisMachine() {
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    return QByteArray(name);
}

// A lock file that its holder left behind is taken over; one that a running
// process on this machine holds makes the append fail after the wait, as a
// stuck advisory lock does, and stays as it is.
TEST(DataRecordFile, AStaleLockFileIsTakenOverAndALiveOneIsNot) {
    const pid_t ended = fork();
    if (ended == 0) _exit(0);
    ASSERT_GT(ended, 0);
    waitpid(ended, nullptr, 0);
    struct Case {
        const char* name;
        QByteArray holder;
        bool appends;
    };
    const Case cases[] = {
        {"holder on this machine has ended", ThisMachine() + ' ' + QByteArray::number(ended) + " 1.2", true},
        {"holder on another machine", "altro-pc-che-non-esiste 1 1.2", true},
        {"left empty by its creator", "", true},
        {"holder on this machine runs", ThisMachine() + ' ' + QByteArray::number(getpid()) + " 1.2", false},
    };
    NoAdvisoryLocks noLocks;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        DataRecordFile file(dir.Path());
        file.Append(Sample(QStringLiteral("one")));
        dir.Write("Archivio_Dati.pro.lock", c.holder);
        if (c.appends) {
            file.Append(Sample(QStringLiteral("two")));
            EXPECT_EQ(file.RecordCount(), 2);
            EXPECT_FALSE(QFile::exists(dir.File("Archivio_Dati.pro.lock")));
        } else {
            EXPECT_THROW(file.Append(Sample(QStringLiteral("two"))), FileError);
            EXPECT_EQ(file.RecordCount(), 1);
            EXPECT_EQ(dir.Read("Archivio_Dati.pro.lock"), c.holder);
        }
        EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files | QDir::Hidden).size(), c.appends ? 1 : 2)
            << "nothing left aside";
    }
}

// A record index so large that its offset does not fit in a file offset is
// past the end like any other: reading or writing there fails and changes
// nothing, whatever the caller checked before.
TEST(DataRecordFile, AnIndexBeyondAnyOffsetFailsCleanly) {
    TempFolder dir;
    DataRecordFile file(dir.Path());
    file.Append(Sample(QStringLiteral("one")));
    const long long max = std::numeric_limits<long long>::max();
    for (long long index : {max / 3765 - 1, max / 3765, max / 3765 + 1, max}) {
        SCOPED_TRACE(index);
        DataRecord record;
        file.Seek(index);
        EXPECT_THROW(file.Read(record), FileError);
        file.Seek(index);
        EXPECT_THROW(file.Write(record), FileError);
    }
    EXPECT_EQ(dir.Read("Archivio_Dati.pro").size(), 3765);
}

// Processes appending records, each reporting every append that Close
// confirmed, are killed with SIGKILL at random moments, round after round.
// Afterwards every confirmed append is in the file whole, every record is
// whole and written once, and the records that were there before are as they
// were.
TEST(DataRecordFile, AppendsKilledAtRandomMomentsLeaveEveryConfirmedRecordWhole) {
    const unsigned seed = std::random_device()();
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    for (const LockKind& kind : kLockKinds) {
        SCOPED_TRACE(kind.name);
        NoAdvisoryLocks noLocks(!kind.advisory);
        TempFolder dir;
        {
            DataRecordFile file(dir.Path());
            for (const char* name : {"a", "b", "c"}) file.Append(Sample(QString::fromLatin1(name)));
        }
        const QByteArray before = dir.Read("Archivio_Dati.pro");
        std::set<QString> confirmed;
        constexpr int kRounds = 3;
        constexpr int kProcesses = 3;
        for (int round = 0; round < kRounds; ++round) {
            // The round's processes append at once; they are killed one by one.
            struct Child {
                pid_t pid;
                int channel;
                QString prefix;
            };
            std::vector<Child> children;
            for (int p = 0; p < kProcesses; ++p) {
                int channel[2];
                ASSERT_EQ(pipe(channel), 0);
                const QString prefix = QStringLiteral("R%1P%2-").arg(round).arg(p);
                const pid_t pid = fork();
                ASSERT_GE(pid, 0);
                if (pid == 0) {
                    close(channel[0]);
                    for (int i = 0;; ++i) {
                        DataRecordFile file(dir.Path());
                        file.Append(Sample(prefix + QString::number(i)));
                        file.Close();
                        if (write(channel[1], &i, sizeof i) != sizeof i) _exit(1);
                    }
                }
                close(channel[1]);
                children.push_back({pid, channel[0], prefix});
            }
            for (const Child& child : children) {
                // Some appends confirmed, then a random pause, then the kill.
                const int wanted = std::uniform_int_distribution<int>(1, 30)(random);
                int i = 0;
                for (int n = 0; n < wanted && read(child.channel, &i, sizeof i) == sizeof i; ++n)
                    confirmed.insert(child.prefix + QString::number(i));
                usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(random));
                kill(child.pid, SIGKILL);
                waitpid(child.pid, nullptr, 0);
                while (read(child.channel, &i, sizeof i) == sizeof i) confirmed.insert(child.prefix + QString::number(i));
                close(child.channel);
            }
        }
        ASSERT_GT(confirmed.size(), size_t(kRounds * kProcesses));
        const QByteArray after = dir.Read("Archivio_Dati.pro");
        EXPECT_EQ(after.left(before.size()), before);
        const std::set<QString> names = WholeRecordNames(dir);
        for (const QString& name : confirmed) EXPECT_EQ(names.count(name), 1u) << "lost: " << name.toStdString();
    }
}

// Runs child(p) for p from 0 to n - 1, each in a process of its own, all at
// once, and waits for them; each must end with status 0.
void InProcesses(int n, const std::function<int(int)>& child) {
    std::vector<pid_t> children;
    for (int p = 0; p < n; ++p) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) _exit(child(p));
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
}

// The names of the archive's records in file order, each record checked
// whole against the sample of its name.
std::vector<QString> NamesInOrder(const QString& folder) {
    std::vector<QString> names;
    DataRecordFile file(folder);
    while (!file.AtEnd()) {
        DataRecord record;
        file.Read(record);
        names.push_back(record.Text(DataRecord::Nome).section(QLatin1Char('/'), 0, 0));
        EXPECT_EQ(Bytes(record), Bytes(Sample(names.back()))) << "torn record " << file.Position();
    }
    return names;
}

// Records appended many at once (an import) while another copy of the program
// appends one at a time: nothing is lost and each batch stays in one piece,
// in its order.
TEST(DataRecordFile, ManyAppendedAtOnceStayTogether) {
    TempFolder dir;
    DataRecordFile(dir.Path()).Append(Sample(QStringLiteral("first")));
    constexpr int kBatch = 1000;
    constexpr int kSingles = 300;
    InProcesses(3, [&](int p) {
        if (p == 2) {
            for (int i = 0; i < kSingles; ++i) DataRecordFile(dir.Path()).Append(Sample(QStringLiteral("S-%1").arg(i)));
            return 0;
        }
        DataRecordFile file(dir.Path());
        file.AppendMany(kBatch, [&](long long i, DataRecord& record) {
            record = Sample(QStringLiteral("B%1-%2").arg(p).arg(i));
        });
        file.Close();
        return file.Position() > kBatch ? 0 : 1;
    });
    const std::vector<QString> names = NamesInOrder(dir.Path());
    ASSERT_EQ(names.size(), static_cast<size_t>(1 + 2 * kBatch + kSingles));
    for (int p = 0; p < 2; ++p) {
        const auto first = std::find(names.begin(), names.end(), QStringLiteral("B%1-0").arg(p));
        ASSERT_LE(first - names.begin() + kBatch, static_cast<long>(names.size())) << p;
        for (int i = 0; i < kBatch; ++i)
            ASSERT_EQ(first[i], QStringLiteral("B%1-%2").arg(p).arg(i)) << "batch " << p << " broken at " << i;
    }
}

}  // namespace

namespace {

// Appends kNew records in a child process that is killed (SIGKILL, as by
// kill -9 or a power cut for the process) when `killAt` is asked for; returns
// once the child is gone.
constexpr long long kOld = 3;
constexpr long long kNew = 700;  // more than one piece of the append's writes

void AppendKilledAt(const TempFolder& dir, long long killAt) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        DataRecordFile(dir.Path()).AppendMany(kNew, [&](long long i, DataRecord& record) {
            if (i == killAt) ::kill(::getpid(), SIGKILL);
            record = Sample(QStringLiteral("new%1").arg(i));
        });
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}

}  // namespace

// An append of many records killed at any step leaves the records that were
// there byte for byte and none of its own: readers count only the committed
// records while its journal stands, and the next write, an append of one
// record or many or a record rewritten in place (the window's save), cuts the
// archive back first, whatever the records hold: an append lands right after
// them, and a rewrite of the last committed record leaves none of the killed
// append's records behind.
TEST(DataRecordFile, AnAppendOfManyKilledAtAnyStepLeavesNoneOfItsRecords) {
    struct Case {
        const char* step;
        long long killAt;           // the record being made when the process dies
        bool recordsThenSynced;     // then every new record reaches the file, the journal still there
    };
    const Case cases[] = {
        {"journal written, before the first record", 0, false},
        {"after the first piece of records", 400, false},
        {"at the last record", kNew - 1, false},
        {"records synced, before the journal goes", 0, true},
    };
    enum class Next { AppendOne, AppendMany, RewriteLast };
    const std::pair<Next, const char*> nexts[] = {{Next::AppendOne, ", then an append of one"},
                                                  {Next::AppendMany, ", then an append of many"},
                                                  {Next::RewriteLast, ", then the last record rewritten in place"}};
    for (const Case& c : cases) {
        for (const auto& [next, name] : nexts) {
            SCOPED_TRACE(std::string(c.step) + name);
            TempFolder dir;
            DataRecordFile(dir.Path()).AppendMany(kOld, [](long long i, DataRecord& r) { r = Sample(QStringLiteral("old%1").arg(i)); });
            QFile archive(dir.File("Archivio_Dati.pro"));
            ASSERT_TRUE(archive.open(QIODevice::ReadOnly));
            const QByteArray before = archive.readAll();
            archive.close();

            AppendKilledAt(dir, c.killAt);
            if (c.recordsThenSynced) {
                ASSERT_TRUE(archive.open(QIODevice::Append));
                for (long long i = 0; i < kNew; ++i) archive.write(Bytes(Sample(QStringLiteral("new%1").arg(i))));
                archive.close();
            }
            ASSERT_TRUE(QFile::exists(dir.File("Archivio_Dati.pro.journal")));
            EXPECT_EQ(DataRecordFile(dir.Path()).RecordCount(), kOld) << "a reader sees only committed records";

            DataRecordFile file(dir.Path());
            QByteArray expected = before;
            if (next == Next::AppendMany) {
                file.AppendMany(2, [](long long i, DataRecord& r) { r = Sample(QStringLiteral("next%1").arg(i)); });
                expected += Bytes(Sample(QStringLiteral("next0"))) + Bytes(Sample(QStringLiteral("next1")));
            } else if (next == Next::AppendOne) {
                file.Append(Sample(QStringLiteral("next0")));
                expected += Bytes(Sample(QStringLiteral("next0")));
            } else {
                file.Seek(kOld - 1);
                file.Write(Sample(QStringLiteral("rewritten")));
                expected.replace(expected.size() - qsizetype(sizeof(DataRecord)), sizeof(DataRecord),
                                 Bytes(Sample(QStringLiteral("rewritten"))));
            }
            file.Close();
            EXPECT_FALSE(QFile::exists(dir.File("Archivio_Dati.pro.journal")));
            ASSERT_TRUE(archive.open(QIODevice::ReadOnly));
            const QByteArray after = archive.readAll();
            archive.close();
            EXPECT_EQ(after.size(), expected.size()) << "records: " << after.size() / sizeof(DataRecord);
            EXPECT_TRUE(after == expected) << "the old records byte for byte, the new write where it belongs";
        }
    }
}

// Two copies of the program on two computers share a folder whose file system
// keeps no advisory locks: one appends many records slowly, holding the lock
// file for seconds, while the other appends a few. The lock file stays fresh
// while it is held, so neither takes it from the other: nothing lost, nothing
// doubled, both succeed. Each child poses as a computer of its own through a
// UTS namespace (its own host name), which needs root.
TEST(DataRecordFile, ALockFileHeldForSecondsIsNotTakenByAnotherComputer) {
    NoAdvisoryLocks noLocks;
    TempFolder dir;
    constexpr long long kSlow = 30, kFast = 20;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    auto asComputer = [&](const char* host, const std::function<void()>& append) {
        const pid_t pid = fork();
        if (pid != 0) return pid;
        close(ready[0]);
        const bool own = unshare(CLONE_NEWUTS) == 0 && sethostname(host, std::strlen(host)) == 0;
        const char said = own ? '1' : '0';
        if (write(ready[1], &said, 1) != 1 || !own) _exit(3);
        try {
            append();
        } catch (const std::exception&) {
            _exit(1);
        }
        _exit(0);
    };
    const pid_t slow = asComputer("ufficio", [&] {
        DataRecordFile(dir.Path()).AppendMany(kSlow, [](long long i, DataRecord& r) {
            usleep(100000);  // three seconds in all
            r = Sample(QStringLiteral("lento%1").arg(i));
        });
    });
    char said = 0;
    ASSERT_EQ(read(ready[0], &said, 1), 1);
    if (said != '1') {
        waitpid(slow, nullptr, 0);
        SKIP_WITHOUT_ROOT("no host name of its own for a child");
    }
    usleep(300000);  // the slow append holds the lock file by now
    const pid_t fast = asComputer("magazzino", [&] {
        for (long long i = 0; i < kFast; ++i) DataRecordFile(dir.Path()).Append(Sample(QStringLiteral("veloce%1").arg(i)));
    });
    ASSERT_EQ(read(ready[0], &said, 1), 1);
    for (const pid_t pid : {slow, fast}) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "an append failed";
    }
    close(ready[0]);
    close(ready[1]);
    EXPECT_EQ(DataRecordFile(dir.Path()).RecordCount(), kSlow + kFast);
    EXPECT_EQ(WholeRecordNames(dir).size(), std::size_t(kSlow + kFast)) << "every record whole and once";
}
