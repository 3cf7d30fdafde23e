// The presets file reader on files of any content, and what the editor makes of the entries it
// lists: the lookup by key, the key's bytes and the LCD label of a name.
#include "FuzzFile.h"
#include "PresetLists.h"

#include <cstddef>
#include <cstdint>

using korv::editor::PresetList;

namespace {

void check(bool ok) {
    if (!ok)
        __builtin_trap();
}

void checkList(const PresetList& list) {
    check(list.keys.size() == list.names.size());
    for (qsizetype i = 0; i < list.keys.size(); ++i) {
        check(!list.keys[i].isEmpty() && !list.names[i].isEmpty());
        // A key given twice keeps its first name, and that is what a lookup finds.
        check(list.NameOf(list.keys[i]) == list.names[i]);
        korv::editor::ReadPresetKey(list.keys[i]);
        const QString label = korv::editor::LabelOfPresetName(list.names[i]);
        check(label.size() <= 15);
        for (QChar c : label)
            check(c.unicode() >= 0x20 && c.unicode() < 0x7F);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto lists = korv::editor::PresetLists::Load(korv::fuzz::InputFile(data, size));
    checkList(lists.pots);
    checkList(lists.butts);
    return 0;
}
