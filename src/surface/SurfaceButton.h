// A push button of the surface that also reports every mouse press with its button, which the
// surface needs for right-click editing (a plain push button reacts to the left button only).
#pragma once

#include <QPushButton>

#include <functional>

namespace korv::surface {

class SurfaceButton : public QPushButton {
    Q_OBJECT
public:
    explicit SurfaceButton(const QString& caption, QWidget* parent = nullptr);

    std::function<void(SurfaceButton&, Qt::MouseButton)> OnMouseDown;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace korv::surface
