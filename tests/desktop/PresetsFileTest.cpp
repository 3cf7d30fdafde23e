// Where the program finds korvttpresets.ini: real files in temporary folder trees laid out like
// a build tree, an installed or unpacked package and a user's home.
#include "PresetsFile.h"

#include "TempDataFolders.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using korv::app::FindPresetsFile;
using korv::app::PresetsFileCandidates;

namespace {

class PresetsFileTest : public korv::test::TempDataFolders {
protected:
    QString programDir() { return root + "/pkg/usr/bin"; }
};

TEST_F(PresetsFileTest, LooksBesideTheProgramThenUserThenInstalledThenSystemFolders) {
    QDir().mkpath(programDir());
    const QStringList expected{
        root + "/pkg/usr/bin/korvttpresets.ini",
        root + "/home/.local/share/korvanettesim/korvttpresets.ini",
        root + "/pkg/usr/share/korvanettesim/korvttpresets.ini",
        root + "/sys1/korvanettesim/korvttpresets.ini",
        root + "/sys2/korvanettesim/korvttpresets.ini",
    };
    EXPECT_EQ(PresetsFileCandidates(programDir()), expected);
}

TEST_F(PresetsFileTest, EachPlaceServesWhenTheOnesBeforeItHoldNoFile) {
    const QString beside = write("pkg/usr/bin/korvttpresets.ini");
    const QString user = write("home/.local/share/korvanettesim/korvttpresets.ini");
    const QString installed = write("pkg/usr/share/korvanettesim/korvttpresets.ini");
    const QString sys1 = write("sys1/korvanettesim/korvttpresets.ini");
    const QString sys2 = write("sys2/korvanettesim/korvttpresets.ini");

    for (const QString& next : {beside, user, installed, sys1, sys2}) {
        EXPECT_EQ(FindPresetsFile(programDir()), next);
        ASSERT_TRUE(QFile::remove(next));
    }
    EXPECT_EQ(FindPresetsFile(programDir()), QString());
}

TEST_F(PresetsFileTest, InstalledFileIsNamedWithoutDotDotSoThePathReadsPlainly) {
    const QString installed = write("pkg/usr/share/korvanettesim/korvttpresets.ini");
    const QString found = FindPresetsFile(programDir());
    EXPECT_EQ(found, root + "/pkg/usr/share/korvanettesim/korvttpresets.ini");
    EXPECT_FALSE(found.contains(".."));
}

TEST_F(PresetsFileTest, SystemFolderThatIsAlsoTheInstalledOneIsListedOnce) {
    // An installation in /usr: /usr/share is both <program>/../share and in XDG_DATA_DIRS.
    qputenv("XDG_DATA_DIRS", (root + "/pkg/usr/share:" + root + "/sys1").toLocal8Bit());
    const QStringList candidates = PresetsFileCandidates(programDir());
    EXPECT_EQ(candidates.count(root + "/pkg/usr/share/korvanettesim/korvttpresets.ini"), 1);
    EXPECT_EQ(candidates.size(), 4);
}

TEST_F(PresetsFileTest, FolderWithTheFilesNameIsNoPresetsFile) {
    QDir().mkpath(programDir() + "/korvttpresets.ini");
    const QString installed = write("pkg/usr/share/korvanettesim/korvttpresets.ini");
    EXPECT_EQ(FindPresetsFile(programDir()), installed);
}

TEST_F(PresetsFileTest, BuiltProgramFindsTheShippedFileBesideItself) {
    const QString beside = QStringLiteral(KORV_PROGRAM_DIR "/korvttpresets.ini");
    EXPECT_EQ(FindPresetsFile(QStringLiteral(KORV_PROGRAM_DIR)), beside);
    QFile built(beside), shipped(QStringLiteral(KORV_SHIPPED_PRESETS));
    ASSERT_TRUE(built.open(QIODevice::ReadOnly));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    EXPECT_EQ(built.readAll(), shipped.readAll());
}

} // namespace
