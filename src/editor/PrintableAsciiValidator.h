// Keeps typed text to printable ASCII (0x20-0x7E): the box's LCD shows nothing else and every
// byte of the settings image is 7-bit, so other characters are dropped as they are typed.
#pragma once

#include <QValidator>

namespace korv::editor {

class PrintableAsciiValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

} // namespace korv::editor
