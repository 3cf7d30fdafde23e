#include "PageKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QSpinBox>
#include <QTabWidget>

namespace korv::editor {

PageKeys::PageKeys(QWidget* window, QTabWidget* pages, QWidget* encoderPage, QSpinBox* potNumber,
                   QWidget* buttonPage, QSpinBox* buttNumber)
    : QObject(window)
    , window_(window)
    , pages_(pages)
    , encoderPage_(encoderPage)
    , potNumber_(potNumber)
    , buttonPage_(buttonPage)
    , buttNumber_(buttNumber) {
    // A filter on the application runs before the focused control gets the key; one on the
    // window would only see what the control passes on.
    QCoreApplication::instance()->installEventFilter(this);
}

PageKeys::~PageKeys() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool PageKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != window_)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    // Ctrl+Page Up/Down stay the tab widget's: they change the page.
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    int step = 0;
    if (key->key() == Qt::Key_PageUp)
        step = 1;
    else if (key->key() == Qt::Key_PageDown)
        step = -1;
    else
        return false;
    QSpinBox* number = nullptr;
    if (pages_->currentWidget() == encoderPage_)
        number = potNumber_;
    else if (pages_->currentWidget() == buttonPage_)
        number = buttNumber_;
    else
        return false;
    // The spin box keeps the number in its range: at either end nothing changes.
    number->setValue(number->value() + step);
    return true;
}

} // namespace korv::editor
