// The .syx reader on files of any content and length: it takes the file's first bytes, at most
// a dump's worth, over the start of the image and leaves the rest of the image alone.
#include "FuzzFile.h"
#include "SettingsImage.h"
#include "SysexFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {
void check(bool ok) {
    if (!ok)
        __builtin_trap();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static korv::model::SettingsImage image;
    // A pattern no dump holds, so that a byte written where none should be shows.
    static const std::vector<std::uint8_t> before = [] {
        std::vector<std::uint8_t> bytes(korv::model::DumpSize);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
        return bytes;
    }();
    image.Write(before.data(), before.size());

    const korv::dump::SysexReadResult result =
        korv::dump::ReadSysexFile(korv::fuzz::InputFile(data, size), image);
    check(result.ok && result.error.isEmpty());
    const std::size_t read = std::min<std::size_t>(size, korv::model::DumpSize);
    check(result.bytesRead == static_cast<int>(read));
    check(result.fileSize == static_cast<long long>(size));

    const std::vector<std::uint8_t> after = image.Bytes();
    check(after.size() == before.size());
    check(std::equal(data, data + read, after.begin()));
    check(std::equal(after.begin() + static_cast<std::ptrdiff_t>(read), after.end(),
                     before.begin() + static_cast<std::ptrdiff_t>(read)));
    return 0;
}
