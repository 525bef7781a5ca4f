#include "core/folder/DocumentCopy.h"

#include "support/SpecialFiles.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <functional>

using testing_support::TempFolder;

namespace {

const QString kFolder = QStringLiteral("Documenti_Allegati");

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// A chosen file that is not a regular file is refused before it is opened,
// with a message that names it and says what it is; the attachments folder is
// not even made.
TEST(DocumentCopy, RefusesASourceThatIsNotARegularFile) {
    for (const auto& special : testing_support::kSpecialFiles) {
        SCOPED_TRACE(special.name);
        TempFolder program, user;
        const QString source = user.File(QStringLiteral("scelto"));
        ASSERT_TRUE(special.make(source));
        DocumentCopy copy(source, program.Path(), kFolder, QStringLiteral("scelto"));
        EXPECT_EQ(copy.Where(), DocumentCopy::Place::Refused);
        EXPECT_TRUE(copy.Reason().contains(source)) << copy.Reason().toStdString();
        EXPECT_TRUE(copy.Reason().contains(QString::fromLatin1(special.word))) << copy.Reason().toStdString();
        EXPECT_EQ(copy.Run({}), DocumentCopy::Outcome::Failed);
        EXPECT_TRUE(Entries(program.Path()).isEmpty());
    }
}

// What stands under the name may change between the look and the copy
// (another copy of the program, or someone planting a link): the copy then
// fails, and what stands there, and anything a link points at, stays as it
// was; no temporary file is left.
TEST(DocumentCopy, WhatAppearsUnderTheNameAfterTheLookIsNeverWrittenNorReplaced) {
    struct Case {
        const char* what;
        bool taken;  // a file of that name stood there at the look
        std::function<void(const QString& placed, const QString& outside)> change;
        QByteArray outside;  // the outside file afterwards; empty when it must not exist
    };
    const QByteArray secret("segreto\0\r\n", 10), mine = "documento", theirs = "di un altro";
    const auto link = [](const QString& placed, const QString& outside) {
        QFile::remove(placed);
        ASSERT_TRUE(QFile::link(outside, placed));
    };
    const auto linkToSecret = [&](const QString& placed, const QString& outside) {
        QFile out(outside);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(secret) == secret.size());
        out.close();
        link(placed, outside);
    };
    const Case cases[] = {
        {"a dangling link where nothing stood", false, link, {}},
        {"a link to a file outside where nothing stood", false, linkToSecret, secret},
        {"a link where a file stood", true, linkToSecret, secret},
        {"another program's file where nothing stood", false,
         [&](const QString& placed, const QString&) {
             QFile file(placed);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(theirs) == theirs.size());
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder program, user;
        user.Write(QStringLiteral("scelto.pdf"), mine);
        const QString folder = program.File(kFolder);
        const QString placed = folder + QStringLiteral("/scelto.pdf");
        const QString outside = user.File(QStringLiteral("fuori.pdf"));
        if (c.taken) {
            ASSERT_TRUE(QDir().mkdir(folder));
            program.Write(kFolder + QStringLiteral("/scelto.pdf"), "vecchio");
        }
        DocumentCopy copy(user.File(QStringLiteral("scelto.pdf")), program.Path(), kFolder,
                          QStringLiteral("scelto.pdf"));
        ASSERT_EQ(copy.Where(), c.taken ? DocumentCopy::Place::Taken : DocumentCopy::Place::Free);
        c.change(placed, outside);
        const QFileInfo before(placed);
        const QString pointsAt = before.symLinkTarget();
        EXPECT_EQ(copy.Run({}), DocumentCopy::Outcome::Failed);

        EXPECT_EQ(Entries(folder), QStringList(QStringLiteral("scelto.pdf")));
        const QFileInfo after(placed);
        EXPECT_EQ(after.isSymLink(), before.isSymLink());
        EXPECT_EQ(after.symLinkTarget(), pointsAt);
        if (!before.isSymLink()) {
            EXPECT_EQ(program.Read(kFolder + QStringLiteral("/scelto.pdf")), theirs);
        }
        EXPECT_EQ(QFileInfo::exists(outside), !c.outside.isEmpty());
        if (!c.outside.isEmpty()) {
            EXPECT_EQ(user.Read(QStringLiteral("fuori.pdf")), c.outside);
        }
    }
}

}  // namespace
