#include "SurfaceButton.h"

#include <QMouseEvent>
#include <QPointer>

namespace korv::surface {

SurfaceButton::SurfaceButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
    setAccessibleName(caption);
}

void SurfaceButton::mousePressEvent(QMouseEvent* event) {
    // The hook may show another window; the button must still see the press to stay consistent.
    QPointer<SurfaceButton> alive(this);
    if (OnMouseDown)
        OnMouseDown(*this, event->button());
    if (alive)
        QPushButton::mousePressEvent(event);
}

} // namespace korv::surface
