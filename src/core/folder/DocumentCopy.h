#pragma once
#include "core/platform/Files.h"

#include <QString>

#include <functional>

// A document of the user's copied into a folder of the program folder (the
// attachments folder) under a name the caller gives. The source must be a
// regular file: it is looked at before it is opened (File::OpenRegular), so a
// FIFO or a device is never waited on nor read. Nothing in the folder is
// reached through a link: the folder is opened without following one, the
// name is looked up without following one, and the copy is written into a
// temporary file of the folder and renamed into place once it is whole
// (ReplacingFile). A link there is never written through nor replaced, and a
// copy that fails or is cancelled leaves no part of itself.
class DocumentCopy {
public:
    // What stands where the copy would go, and so what Run would do.
    enum class Place {
        Free,     // nothing: the copy makes the file
        Taken,    // another file of that name: the copy replaces it
        Source,   // the source itself: there is nothing to copy
        Link,     // a link, in place of the folder or under the name: nothing is copied
        Refused,  // the source is not a regular file: it is not opened
        Failed,   // the source or the folder cannot be opened, or the name is not a bare name
    };
    enum class Outcome { Done, Cancelled, Failed };
    // Told how many bytes are copied after each piece; false cancels the copy.
    using Progress = std::function<bool(qint64 copied)>;

    // Opens source, then the folder `folder` of `parent` (made when missing),
    // and looks under name there; nothing is copied yet.
    DocumentCopy(const QString& source, const QString& parent, const QString& folder, const QString& name);
    ~DocumentCopy();
    DocumentCopy(const DocumentCopy&) = delete;
    DocumentCopy& operator=(const DocumentCopy&) = delete;

    Place Where() const { return place_; }
    // For Refused, the refusal, which names the source and says what it is;
    // for Link, the link's full path.
    const QString& Reason() const { return reason_; }
    // The source's size in bytes.
    qint64 Size() const { return size_; }

    // Copies the source when the place is Free or Taken; anything else fails.
    // Where the place was Free, a file that appears under the name meanwhile
    // is not replaced: the copy fails.
    Outcome Run(const Progress& progress);

private:
    QString name_;
    Place place_ = Place::Failed;
    QString reason_;
    qint64 size_ = 0;
    platform::File source_;
    platform::Folder folder_;
};
