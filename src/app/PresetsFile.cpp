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
    const QString userDataDir =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!userDataDir.isEmpty())
        candidates << InDataFolder(userDataDir);
    candidates << InDataFolder(programDir + QStringLiteral("/../share"));
    // These begin with the user's folder again; the duplicates go below.
    for (const QString& dir :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
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
