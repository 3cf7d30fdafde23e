#include "ClampingSpinBox.h"

#include <algorithm>

namespace korv::editor {

QValidator::State ClampingSpinBox::validate(QString& input, int& pos) const {
    const QValidator::State state = QSpinBox::validate(input, pos);
    if (state != QValidator::Invalid)
        return state;
    // QSpinBox refuses "20" in 1..16 outright; a number is only out of range for now.
    bool ok = false;
    input.trimmed().toInt(&ok);
    return ok ? QValidator::Intermediate : QValidator::Invalid;
}

void ClampingSpinBox::fixup(QString& input) const {
    bool ok = false;
    const int typed = input.trimmed().toInt(&ok);
    if (ok)
        input = textFromValue(std::clamp(typed, minimum(), maximum()));
}

} // namespace korv::editor
