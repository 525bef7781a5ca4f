#include "core/folder/TempFiles.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include <sys/stat.h>

using testing_support::TempFolder;

namespace {

// The list a signal empties is short: when every place on it is taken, the
// next file in the making is refused and nothing is made, rather than made
// and left behind by a signal; a place given back serves again.
TEST(TempFiles, WhenTheRemovalListIsFullNothingMoreIsMade) {
    TempFolder temporary;
    const QByteArray saved = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temporary.Path()));
    const auto made = [&] { return QDir(temporary.Path()).entryList({QStringLiteral("velmora-*")}, QDir::Dirs).size(); };
    std::vector<std::unique_ptr<ScratchFolder>> folders;
    bool refused = false;
    try {
        while (folders.size() < 1000) folders.push_back(std::make_unique<ScratchFolder>());
    } catch (const std::runtime_error&) {
        refused = true;
    }
    ASSERT_TRUE(refused) << folders.size() << " folders made, none refused";
    EXPECT_GE(folders.size(), 4u);
    EXPECT_EQ(made(), qsizetype(folders.size()));

    TempFolder out;
    ReplacingFile file(out.File(QStringLiteral("documento.pdf")));
    EXPECT_FALSE(file.Open());
    EXPECT_FALSE(file.Reason().isEmpty());
    EXPECT_TRUE(QDir(out.Path()).isEmpty(QDir::Files | QDir::Hidden));

    folders.pop_back();
    EXPECT_NO_THROW(ScratchFolder());
    EXPECT_EQ(made(), qsizetype(folders.size()));
    folders.clear();
    qputenv("TMPDIR", saved);
}

// A file written in place of another: nothing shows until the commit, an
// uncommitted one leaves the old file as it was and nothing beside it, and
// the new file keeps the permissions of the one it replaces.
TEST(TempFiles, AReplacingFileTakesThePlaceOfTheOldOnlyWhenCommitted) {
    TempFolder out;
    out.Write(QStringLiteral("elenco.xls"), "vecchio");
    const QByteArray target = QFile::encodeName(out.File(QStringLiteral("elenco.xls")));
    ASSERT_EQ(::chmod(target.constData(), 0640), 0);
    {
        ReplacingFile file(out.File(QStringLiteral("elenco.xls")));
        ASSERT_TRUE(file.Open());
        file.Device().write("nuovo, mai finito");
        ASSERT_TRUE(file.Device().flush());
        EXPECT_EQ(out.Read(QStringLiteral("elenco.xls")), "vecchio");
    }
    EXPECT_EQ(QDir(out.Path()).entryList(QDir::Files | QDir::Hidden), QStringList{"elenco.xls"});
    EXPECT_EQ(out.Read(QStringLiteral("elenco.xls")), "vecchio");

    ReplacingFile file(out.File(QStringLiteral("elenco.xls")));
    ASSERT_TRUE(file.Open());
    file.Device().write("nuovo");
    ASSERT_TRUE(file.Commit()) << file.Reason().toStdString();
    EXPECT_EQ(out.Read(QStringLiteral("elenco.xls")), "nuovo");
    EXPECT_EQ(QDir(out.Path()).entryList(QDir::Files | QDir::Hidden), QStringList{"elenco.xls"});
    struct stat st {};
    ASSERT_EQ(::stat(target.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

}  // namespace
