// .syx files on disk: what a read changes in the image, what a store leaves on disk, and that
// neither a pipe nor a failed write costs the user anything.
#include "SysexFile.h"
#include "SettingsImage.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace korv;
using Bytes = std::vector<std::uint8_t>;

namespace {

QByteArray toQt(const Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

Bytes pattern(std::size_t size, int seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 7 + static_cast<std::size_t>(seed)) & 0x7F);
    return bytes;
}

class SysexFiles : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void put(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    QByteArray contents(const QString& file) {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }

    QTemporaryDir dir;
    model::SettingsImage image;
};

} // namespace

TEST_F(SysexFiles, StoringWritesTheDumpByteForByte) {
    image.SetDataByte(0x10, 0x0A); // line ends stay as they are
    image.SetDataByte(0x11, 0x0D);
    const QString file = path("custom.syx");
    put(file, "an older file that is longer than nothing");
    const dump::FileResult result = dump::WriteSysexFile(file, image);
    EXPECT_TRUE(result.ok) << result.error.toStdString();
    const QByteArray written = contents(file);
    ASSERT_EQ(written.size(), 4103);
    EXPECT_EQ(written.left(6), QByteArray::fromHex("F000007E4502"));
    EXPECT_EQ(written.mid(6 + 0x10, 2), QByteArray::fromHex("0A0D"));
    EXPECT_EQ(static_cast<std::uint8_t>(written.back()), 0xF7);

    image.SetDeviceByte(0x32);
    ASSERT_TRUE(dump::WriteSysexFile(file, image).ok);
    EXPECT_EQ(static_cast<std::uint8_t>(contents(file).at(5)), 0x32);
}

TEST_F(SysexFiles, ReadingReplacesOnlyAsManyLeadingBytesAsTheFileHolds) {
    const Bytes before = image.Bytes();

    put(path("empty.syx"), {});
    auto result = dump::ReadSysexFile(path("empty.syx"), image);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.bytesRead, 0);
    EXPECT_EQ(image.Bytes(), before);

    const Bytes hundred = pattern(100, 1);
    put(path("short.syx"), toQt(hundred));
    result = dump::ReadSysexFile(path("short.syx"), image);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.bytesRead, 100);
    Bytes expected = before;
    std::copy(hundred.begin(), hundred.end(), expected.begin());
    EXPECT_EQ(image.Bytes(), expected);

    // Nothing is checked: not the header, not the length, not the F7.
    const Bytes large = pattern(100'000, 2);
    put(path("large.syx"), toQt(large));
    result = dump::ReadSysexFile(path("large.syx"), image);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.bytesRead, 4103);
    EXPECT_EQ(image.Bytes(), Bytes(large.begin(), large.begin() + 4103));
}

TEST_F(SysexFiles, AStoredDumpReadsBackUnchanged) {
    const Bytes original = pattern(4103, 3);
    image.Write(original.data(), original.size());
    ASSERT_TRUE(dump::WriteSysexFile(path("round.syx"), image).ok);
    image.LoadDefault();
    EXPECT_TRUE(dump::ReadSysexFile(path("round.syx"), image).ok);
    EXPECT_EQ(image.Bytes(), original);
}

TEST_F(SysexFiles, WhatCannotBeReadAsAFileIsRefusedAndChangesNothing) {
    const Bytes before = image.Bytes();

    auto result = dump::ReadSysexFile(path("missing.syx"), image);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, QString::fromLocal8Bit(std::strerror(ENOENT)));

    result = dump::ReadSysexFile(dir.path(), image);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, QStringLiteral("Not a regular file"));

    // A FIFO nobody writes to would block a plain open and read for ever.
    const QString fifo = path("pipe.syx");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    result = dump::ReadSysexFile(fifo, image);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, QStringLiteral("Not a regular file"));

    // A device that never ends.
    result = dump::ReadSysexFile(QStringLiteral("/dev/zero"), image);
    EXPECT_FALSE(result.ok);

    EXPECT_EQ(image.Bytes(), before);
}

TEST_F(SysexFiles, AStoreThatCannotCreateItsFileSaysWhy) {
    const dump::FileResult result = dump::WriteSysexFile(path("no such folder/custom.syx"), image);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_FALSE(QFile::exists(path("no such folder")));
}

TEST_F(SysexFiles, AStoreIntoAReadOnlyFolderKeepsTheOldFile) {
    const QString file = path("custom.syx");
    put(file, "old settings");
    const QByteArray folder = QFile::encodeName(dir.path());
    // Permissions do not bind root, a read-only mount does: root's tests run in a mount
    // namespace of their own, where the folder can be mounted read-only over itself.
    const bool root = ::geteuid() == 0;
    if (root) {
        if (!qEnvironmentVariableIsSet("KORV_PRIVATE_SHM"))
            GTEST_SKIP() << "root outside a mount namespace of its own";
        ASSERT_EQ(::mount(folder.constData(), folder.constData(), nullptr, MS_BIND, nullptr), 0);
        ASSERT_EQ(::mount(nullptr, folder.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                          nullptr),
                  0);
    } else {
        ASSERT_EQ(::chmod(folder.constData(), 0555), 0);
    }
    const dump::FileResult result = dump::WriteSysexFile(file, image);
    if (root)
        ::umount(folder.constData());
    else
        ::chmod(folder.constData(), 0755);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_EQ(contents(file), QByteArray("old settings"));
}

TEST_F(SysexFiles, AStoreThatRunsOutOfSpaceKeepsTheOldFileAndLeavesNoLitter) {
    const QString file = path("custom.syx");
    put(file, "old settings");
    // The file size limit fails the write, as a full disk would: part-way, or at once.
    const auto storeWithLimit = [&](rlim_t limit) {
        rlimit old{};
        EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = limit;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const dump::FileResult result = dump::WriteSysexFile(file, image);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        return result;
    };

    dump::FileResult result = storeWithLimit(1000);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, QStringLiteral("Only 1000 of 4103 bytes could be written"));
    EXPECT_EQ(contents(file), QByteArray("old settings"));

    result = storeWithLimit(0);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_EQ(contents(file), QByteArray("old settings"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("custom.syx")});
}
