#include "core/folder/TempFiles.h"

#include "core/folder/FileAccess.h"
#include "core/platform/Termination.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <stdexcept>
#include <utility>

ScratchFolder::ScratchFolder() {
    entry_ = platform::MakeListed(platform::Made::Folder, [this](QString& path) {
        path = path_ = platform::MakePrivateFolder(QDir::tempPath(), QStringLiteral("velmora-"));
        return !path.isEmpty();
    });
    if (entry_ < 0) throw std::runtime_error("impossibile creare una cartella temporanea");
}

ScratchFolder::~ScratchFolder() {
    QDir(path_).removeRecursively();
    platform::Unlist(entry_);
}

QString ScratchFolder::File(const QString& name) const { return path_ + QLatin1Char('/') + name; }

namespace {
// What the device gathers before it writes.
constexpr qsizetype kBuffer = qsizetype(1) << 16;
}  // namespace

void FileDevice::Attach(platform::File* file) {
    file_ = file;
    buffer_.clear();
    if (file_) open(QIODevice::WriteOnly);
    else if (isOpen()) close();
}

qint64 FileDevice::writeData(const char* data, qint64 size) {
    if (!file_) return -1;
    if (buffer_.size() + size > kBuffer && !flush()) return -1;
    if (size >= kBuffer) return file_->Write(data, size) ? size : -1;
    buffer_.append(data, size);
    return size;
}

bool FileDevice::flush() {
    if (!file_) return false;
    if (!buffer_.isEmpty() && !file_->Write(buffer_.constData(), buffer_.size())) return false;
    buffer_.clear();
    return true;
}

ReplacingFile::ReplacingFile(QString path, Guard guard) : path_(std::move(path)), guard_(std::move(guard)) {}

ReplacingFile::ReplacingFile(const platform::Folder& folder, QString name, Existing existing)
    : path_(std::move(name)), followLinks_(false), existing_(existing), given_(&folder) {}

ReplacingFile::~ReplacingFile() { Discard(); }

// The target's folder, open for the rest of the object's life, and the
// target's name in it: a path is followed through its links first, this once;
// a folder given open is taken as it is.
bool ReplacingFile::OpenFolder() {
    if (!followLinks_) {
        folder_ = given_;
        target_ = path_;
        return true;
    }
    const QFileInfo info = FollowLinks(path_);
    target_ = info.fileName();
    opened_ = platform::Folder::Open(info.absolutePath());
    folder_ = &opened_;
    return opened_.IsOpen();
}

bool ReplacingFile::Open() {
    if (!OpenFolder()) return Fail(errno);
    if (guard_) {
        reason_ = guard_(*folder_, target_);
        if (!reason_.isEmpty()) return refused_ = true, false;
    }
    using Kind = platform::Entry::Kind;
    const platform::Entry existing = folder_->Look(target_);
    if (followLinks_ && existing.kind != Kind::Missing && existing.kind != Kind::Regular) {
        // A special file (a pipe, a device) takes the bytes as they come.
        file_ = folder_->OpenForWriting(target_);
    } else {
        // Hidden beside the target, named by the beginning of its name (so
        // that a long name leaves room); a new file gets the permissions any
        // new file gets, a replacement those of the file it replaces.
        const platform::Entry* replaced = existing.kind == Kind::Regular ? &existing : nullptr;
        QString beginning = target_.left(40);
        if (!beginning.isEmpty() && beginning.back().isHighSurrogate()) beginning.chop(1);
        const QString prefix = QLatin1Char('.') + beginning + QLatin1Char('.');
        try {
            entry_ = platform::MakeListed(platform::Made::File, [&](QString& path) {
                for (int attempt = 0; attempt < 100; ++attempt) {
                    temporary_ = prefix + QString::number(QRandomGenerator::global()->generate64(), 36);
                    path = folder_->Shown(temporary_);
                    file_ = folder_->CreateNew(temporary_, replaced);
                    if (file_.IsOpen() || errno != EEXIST) return file_.IsOpen();
                }
                return false;
            });
        } catch (const std::runtime_error& error) {
            temporary_.clear();
            reason_ = QString::fromUtf8(error.what());
            return false;
        }
        if (entry_ < 0) {
            const int error = errno;
            temporary_.clear();
            file_ = platform::File();
            return Fail(error);
        }
    }
    if (!file_.IsOpen()) return Fail(errno);
    device_.Attach(&file_);
    return true;
}

bool ReplacingFile::Commit() {
    errno = 0;
    if (!device_.flush()) return Fail(errno ? errno : EIO);
    device_.Attach(nullptr);
    // A file system that cannot sync (EINVAL) keeps what it has.
    if (!temporary_.isEmpty() && !file_.Sync() && errno != EINVAL) return Fail(errno);
    if (!file_.Close()) return Fail(errno);
    if (temporary_.isEmpty()) return true;
    if (!PutInPlace()) return Fail(errno);
    temporary_.clear();
    platform::Unlist(entry_);
    // The rename lasts through a power cut once the folder is synced.
    folder_->Sync();
    return true;
}

// Renames the temporary file to the target; false with errno set. Where the
// target must stay as it is, in one step that fails (EEXIST) when anything at
// all stands under its name.
bool ReplacingFile::PutInPlace() {
    if (existing_ == Existing::Keep) return folder_->RenameNoReplace(temporary_, target_);
    if (!followLinks_ && folder_->Look(target_).kind == platform::Entry::Kind::Link) return errno = ELOOP, false;
    return folder_->Rename(temporary_, target_);
}

bool ReplacingFile::Fail(int error) {
    reason_ = SystemReason(error);
    Discard();
    return false;
}

void ReplacingFile::Discard() {
    device_.Attach(nullptr);
    file_ = platform::File();
    if (!temporary_.isEmpty() && folder_) folder_->Remove(temporary_);
    temporary_.clear();
    platform::Unlist(entry_);
}
