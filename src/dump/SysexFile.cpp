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
    if (::fstat(fd, &st) != 0) {
        result.error = systemError(errno);
    } else if (!S_ISREG(st.st_mode)) {
        result.error = NotRegular;
    } else {
        std::size_t got = 0;
        for (;;) {
            const ssize_t n = ::read(fd, buf.data() + got, buf.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                result.error = systemError(errno);
                break;
            }
            got += static_cast<std::size_t>(n);
            if (n == 0 || got == buf.size()) {
                result.ok = true;
                result.bytesRead = static_cast<int>(got);
                break;
            }
        }
    }
    ::close(fd);
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
