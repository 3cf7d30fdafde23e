// A spin box that lets the user type a number outside its range and pulls it to the nearer
// limit when the field is committed (Enter or leaving it), instead of refusing the keystroke.
#pragma once

#include <QSpinBox>

namespace korv::editor {

class ClampingSpinBox : public QSpinBox {
    Q_OBJECT
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};

} // namespace korv::editor
