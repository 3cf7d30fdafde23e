// Plain-word warnings about a damaged dump that is loaded all the same: a wrong header, a
// missing F7, a file shorter or longer than a dump, bytes with their top bit set. Each says
// what was wrong and what it means for the settings.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace korv::dump {

// `loaded` is what was copied into the settings (the first bytes, at most 4,103); `size` is
// the length of the whole file or message. Empty when nothing is wrong.
QStringList DumpWarnings(const std::uint8_t* loaded, int loadedCount, std::int64_t size);

// A count with thousands separated by commas, as in "4,103".
QString GroupedNumber(std::int64_t value);

} // namespace korv::dump
