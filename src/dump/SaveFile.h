// Writing a whole file safely: the bytes go to a temporary file beside the target, which
// replaces the target only once everything is on disk, so a failed store keeps the old file.
#pragma once

#include <QByteArray>
#include <QString>

namespace korv::dump {

// The outcome of a file operation; `error` says why it failed, in words for the user.
struct FileResult {
    bool ok = false;
    QString error;
};

FileResult SaveBytes(const QString& path, const QByteArray& bytes);

} // namespace korv::dump
