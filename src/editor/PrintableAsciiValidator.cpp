#include "PrintableAsciiValidator.h"

namespace korv::editor {

QValidator::State PrintableAsciiValidator::validate(QString& input, int& pos) const {
    QString kept;
    kept.reserve(input.size());
    int keptBeforeCursor = 0;
    for (int i = 0; i < input.size(); ++i) {
        const char16_t c = input.at(i).unicode();
        if (c < 0x20 || c > 0x7E)
            continue;
        kept.append(input.at(i));
        if (i < pos)
            ++keptBeforeCursor;
    }
    input = kept;
    pos = keptBeforeCursor;
    return Acceptable;
}

} // namespace korv::editor
