// A file in memory holding the current fuzz input, for readers that take a path.
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

namespace korv::fuzz {

// Replaces the file's content with the input and returns a path that opens it.
inline QString InputFile(const std::uint8_t* data, std::size_t size) {
    static const int fd = memfd_create("fuzz-input", MFD_CLOEXEC);
    static const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0 ||
        (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)))
        __builtin_trap();
    return path;
}

} // namespace korv::fuzz
