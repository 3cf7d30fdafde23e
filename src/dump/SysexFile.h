// .syx dump files: exactly one 4,103-byte dump message, no wrapper. Reading takes at most the
// first 4,103 bytes and checks nothing; writing replaces the file only when it fully succeeded.
#pragma once

#include "SaveFile.h"

#include <QString>

namespace korv::model {
class SettingsImage;
}

namespace korv::dump {

struct SysexReadResult : FileResult {
    int bytesRead = 0;
    long long fileSize = 0; // the whole file, of which at most 4,103 bytes are read
};

// Copies the file's first bytes, at most 4,103, over the image from its first byte: a shorter
// file replaces only its own length. The image stays untouched unless the read succeeded.
// Anything but a regular file (a pipe, a device, a folder) is refused unread, so that a
// chosen FIFO cannot hang the program.
SysexReadResult ReadSysexFile(const QString& path, model::SettingsImage& image);

// Writes the 4,103 bytes of the image unchanged.
FileResult WriteSysexFile(const QString& path, const model::SettingsImage& image);

} // namespace korv::dump
