// The named event entries of the presets file: its two sections read once into key and name
// lists in file order, the lookup of an entry's key text, and the reading of a key's bytes.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace korv::editor {

struct PresetList {
    QStringList keys;
    QStringList names; // position for position with keys

    // The name of the first key equal to `keyText`, letter case ignored, or "Unknown".
    QString NameOf(const QString& keyText) const;
};

struct PresetLists {
    PresetList pots;  // section POTPRESETS: status, first byte, lowest, highest value
    PresetList butts; // section BUTTONPRESETS: status, first and second byte

    // Reads the file at `path`. A file that is missing or cannot be read gives empty lists and
    // no message; lines that are not "key=value" are passed over, the rest still load.
    static PresetLists Load(const QString& path);
};

// A key read as scanf's "%x" reads it: leading white space, an optional 0x, hexadecimal digits
// up to the first other character, the low 32 bits of the number; nothing when no digit comes.
std::optional<std::uint32_t> ReadPresetKey(const QString& key);

// The LCD label a preset name gives: what follows the first ": ", else the whole name, cut to
// 15 characters. Characters the LCD cannot show (outside printable ASCII) are left out.
QString LabelOfPresetName(const QString& name);

} // namespace korv::editor
