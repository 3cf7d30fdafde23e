#include "SysexFile.h"

#include "SettingsImage.h"

#include <QByteArray>
#include <QFile>

#include <array>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korv::dump {
namespace {

const QString NotRegular = QStringLiteral("Not a regular file");

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Opens without blocking (a FIFO without a writer would block a plain open) and checks the
// kind of what was opened, not of what the name pointed at a moment earlier.
SysexReadResult readLeadingBytes(const QString& path,
                                 std::array<std::uint8_t, model::DumpSize>& buf) {
    SysexReadResult result;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd == -1) {
        result.error = systemError(errno);
        return result;
    }
    struct stat st {};
    const bool known = ::fstat(fd, &st) == 0;
    if (!known || !S_ISREG(st.st_mode)) {
        result.error = known ? NotRegular : systemError(errno);
        ::close(fd);
        return result;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        result.error = file.errorString();
        ::close(fd); // not taken over
        return result;
    }
    // Reads until the buffer is full or the file ends.
    const qint64 n = file.read(reinterpret_cast<char*>(buf.data()), model::DumpSize);
    if (n < 0) {
        result.error = file.errorString();
        return result;
    }
    result.ok = true;
    result.bytesRead = static_cast<int>(n);
    result.fileSize = static_cast<long long>(st.st_size);
    return result;
}

} // namespace

SysexReadResult ReadSysexFile(const QString& path, model::SettingsImage& image) {
    std::array<std::uint8_t, model::DumpSize> buf{};
    SysexReadResult result = readLeadingBytes(path, buf);
    if (result.ok)
        image.Write(buf.data(), static_cast<std::size_t>(result.bytesRead));
    return result;
}

FileResult WriteSysexFile(const QString& path, const model::SettingsImage& image) {
    const std::vector<std::uint8_t> bytes = image.Bytes();
    return SaveBytes(path, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                      static_cast<qsizetype>(bytes.size())));
}

} // namespace korv::dump
