// A temporary folder tree standing in for a machine's data folders: XDG_DATA_HOME and
// XDG_DATA_DIRS point into it for the fixture's lifetime, so lookups never see the real ones.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korv::test {

class TempDataFolders : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        root = QDir(dir.path()).canonicalPath();
        savedHome = qgetenv("XDG_DATA_HOME");
        savedDirs = qgetenv("XDG_DATA_DIRS");
        hadHome = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        hadDirs = qEnvironmentVariableIsSet("XDG_DATA_DIRS");
        qputenv("XDG_DATA_HOME", (root + "/home/.local/share").toLocal8Bit());
        qputenv("XDG_DATA_DIRS", (root + "/sys1:" + root + "/sys2").toLocal8Bit());
    }
    void TearDown() override {
        hadHome ? qputenv("XDG_DATA_HOME", savedHome) : qunsetenv("XDG_DATA_HOME");
        hadDirs ? qputenv("XDG_DATA_DIRS", savedDirs) : qunsetenv("XDG_DATA_DIRS");
    }

    // Creates the file `relative` under the root with `content`, and its folders.
    QString write(const QString& relative, const QByteArray& content = "[POTPRESETS]\n") {
        const QString path = root + QLatin1Char('/') + relative;
        EXPECT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

    QTemporaryDir dir;
    QString root;

private:
    QByteArray savedHome, savedDirs;
    bool hadHome = false, hadDirs = false;
};

} // namespace korv::test
