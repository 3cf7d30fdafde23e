// Page Up and Page Down on the "Encoders" and "Buttons" pages step to the next and previous
// encoder or button, whichever control of the window has the focus.
#pragma once

#include <QObject>

class QSpinBox;
class QTabWidget;

namespace korv::editor {

class PageKeys : public QObject {
public:
    // Sees the keys of `window` before its focused control does; `encoderPage` and
    // `buttonPage` are pages of `pages`, stepping `potNumber` and `buttNumber`.
    PageKeys(QWidget* window, QTabWidget* pages, QWidget* encoderPage, QSpinBox* potNumber,
             QWidget* buttonPage, QSpinBox* buttNumber);
    ~PageKeys() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    QTabWidget* pages_;
    QWidget* encoderPage_;
    QSpinBox* potNumber_;
    QWidget* buttonPage_;
    QSpinBox* buttNumber_;
};

} // namespace korv::editor
