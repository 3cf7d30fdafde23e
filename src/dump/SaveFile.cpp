#include "SaveFile.h"

#include <QSaveFile>

namespace korv::dump {

FileResult SaveBytes(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Unbuffered: a buffered write that the disk takes only in part is not reported by the
    // flush in commit(), which would then put a truncated file in place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, file.errorString()};
    const qint64 written = file.write(bytes);
    // Without a commit the temporary file goes away with `file`.
    if (written < 0)
        return {false, file.errorString()};
    if (written != bytes.size())
        return {false, QStringLiteral("Only ") + QString::number(written) + QStringLiteral(" of ") +
                           QString::number(bytes.size()) +
                           QStringLiteral(" bytes could be written")};
    if (!file.commit())
        return {false, file.errorString()};
    return {true, {}};
}

} // namespace korv::dump
