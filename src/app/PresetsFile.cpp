#include "PresetsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace korv::app {

namespace {

const QString DataSubfolder = QStringLiteral("korvanettesim");

QString InDataFolder(const QString& dataDir) {
    return QDir::cleanPath(dataDir + QLatin1Char('/') + DataSubfolder + QLatin1Char('/') +
                           QLatin1String(PresetsFileName));
}

} // namespace

QStringList PresetsFileCandidates(const QString& programDir) {
    QStringList candidates;
    candidates << QDir::cleanPath(programDir + QLatin1Char('/') + QLatin1String(PresetsFileName));

    // The user's own file comes before the installed one, which a user cannot edit.
    QStringList dataDirs = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    const QString userDataDir =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!userDataDir.isEmpty()) {
        candidates << InDataFolder(userDataDir);
        dataDirs.removeAll(userDataDir);
    }

    candidates << InDataFolder(programDir + QStringLiteral("/../share"));
    for (const QString& dir : std::as_const(dataDirs))
        candidates << InDataFolder(dir);

    candidates.removeDuplicates();
    return candidates;
}

QString FindPresetsFile(const QString& programDir) {
    for (const QString& path : PresetsFileCandidates(programDir)) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

QString FindPresetsFile() {
    return FindPresetsFile(QCoreApplication::applicationDirPath());
}

} // namespace korv::app
