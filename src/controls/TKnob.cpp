#include "TKnob.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace korv::controls {

TKnob::TKnob(QWidget* parent)
    : QWidget(parent)
    , lineColor_(palette().color(QPalette::Active, QPalette::Highlight)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Like a plain windowed control: Tab reaches it, but only a left press inside the circle
    // takes the focus.
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
    resize(40, 40);
    // A hidden widget gets no resize event, and a knob is hidden until first shown: the square
    // rule must start from the 40 x 40 it was made with, not from nothing.
    ApplySquareRule();
}

void TKnob::SetMax(int max) {
    SetParams(Position(), Min(), max);
}

void TKnob::SetMin(int min) {
    SetParams(Position(), min, Max());
}

void TKnob::SetPosition(int position) {
    SetParams(position, Min(), Max());
}

void TKnob::SetParams(int position, int min, int max) {
    const int oldAngle = scale_.PositionAngle();
    scale_.SetParams(position, min, max);
    if (scale_.PositionAngle() != oldAngle)
        update();
    ShowValue(scale_.Position());
    if (OnChange)
        OnChange(*this);
}

void TKnob::SetCaption(const QString& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    setAccessibleName(caption);
    ShowValue(Position());
}

void TKnob::SetLineColor(const QColor& color) {
    if (color == lineColor_ || color == palette().color(QPalette::Button))
        return;
    lineColor_ = color;
    update();
}

void TKnob::SetPageSize(int pageSize) {
    pageSize_ = std::clamp(pageSize, 0, 0xFFFF);
}

QLabel* TKnob::PositionLabel() const {
    return positionLabel_;
}

void TKnob::SetPositionLabel(QLabel* label) {
    positionLabel_ = label;
    if (!label)
        return;
    ShowValue(Position());
    label->setEnabled(isEnabled());
}

void TKnob::SetSpringLoaded(bool springLoaded) {
    springLoaded_ = springLoaded;
    if (springLoaded)
        SetPosition(0);
}

void TKnob::setVisible(bool visible) {
    // Sizes set while hidden reach resizeEvent only now; square them before the first paint.
    if (visible)
        ApplySquareRule();
    QWidget::setVisible(visible);
    if (positionLabel_)
        positionLabel_->setVisible(visible);
}

QSize TKnob::sizeHint() const {
    const int side = knobSize_ > 0 ? knobSize_ : 40;
    return {side, side};
}

void TKnob::ShowValue(int value) {
    // The caption is appended as it stands: a '%' in it is text, not a format directive.
    if (positionLabel_)
        positionLabel_->setText(QString::number(value) + u' ' + caption_);
}

void TKnob::WritePosition(long long value) {
    SetPosition(scale_.Limit(value));
}

void TKnob::TrackMouse(QPoint pos) {
    mouseAngle_ = KnobScale::MouseAngle(pos.x(), pos.y(), width(), height());
}

void TKnob::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplySquareRule();
}

void TKnob::ApplySquareRule() {
    const int side = KnobScale::SquareSide(knobSize_, width(), height());
    InvalidateFace();
    knobSize_ = side;
    radius_ = side / 2;
    if (width() != side || height() != side)
        resize(side, side);
}

void TKnob::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (positionLabel_)
            positionLabel_->setEnabled(isEnabled());
        InvalidateFace();
        break;
    case QEvent::PaletteChange:
        InvalidateFace();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void TKnob::mousePressEvent(QMouseEvent* event) {
    // The press point is the pointing angle even when no move came before it (a click straight
    // after the window appeared, or a touch).
    const QPoint pos = event->position().toPoint();
    TrackMouse(pos);
    if (event->button() == Qt::LeftButton &&
        KnobScale::InsideEllipse(pos.x(), pos.y(), width(), height())) {
        setFocus(Qt::MouseFocusReason);
        dragging_ = true;
        SetPosition(scale_.ValueFromAngle(mouseAngle_));
    }
    event->accept();
    if (OnMouseDown)
        OnMouseDown(*this, event->button(), pos);
}

void TKnob::mouseMoveEvent(QMouseEvent* event) {
    TrackMouse(event->position().toPoint());
    const int value = scale_.ValueFromAngle(mouseAngle_);
    if (dragging_ && value != Position())
        SetPosition(value);
    // Hovering shows the value under the mouse, not the knob's own.
    ShowValue(value);
    event->accept();
}

void TKnob::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (!dragging_)
        return;
    TrackMouse(event->position().toPoint());
    dragging_ = false;
    if (springLoaded_) {
        SetPosition(0);
        return;
    }
    const int value = scale_.ValueFromAngle(mouseAngle_);
    if (value != Position())
        SetPosition(value);
}

void TKnob::leaveEvent(QEvent* event) {
    ShowValue(Position());
    QWidget::leaveEvent(event);
}

void TKnob::focusInEvent(QFocusEvent* event) {
    InvalidateFace();
    QWidget::focusInEvent(event);
}

void TKnob::focusOutEvent(QFocusEvent* event) {
    dragging_ = false;
    if (springLoaded_)
        SetPosition(0);
    InvalidateFace();
    QWidget::focusOutEvent(event);
}

void TKnob::keyPressEvent(QKeyEvent* event) {
    // Every key writes, also at the limit, so OnChange runs (and the surface sends) each time.
    const long long position = Position();
    switch (event->key()) {
    case Qt::Key_PageUp:
        WritePosition(position + pageSize_);
        break;
    case Qt::Key_PageDown:
        WritePosition(position - pageSize_);
        break;
    case Qt::Key_End:
        SetPosition(Max());
        break;
    case Qt::Key_Home:
        SetPosition(Min());
        break;
    case Qt::Key_Left:
    case Qt::Key_Down:
        WritePosition(position - 1);
        break;
    case Qt::Key_Up:
    case Qt::Key_Right:
        WritePosition(position + 1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TKnob::InvalidateFace() {
    face_ = QPixmap();
    update();
}

void TKnob::RenderFace() {
    const qreal dpr = devicePixelRatioF();
    face_ = QPixmap(size() * dpr);
    face_.setDevicePixelRatio(dpr);
    const QPalette& pal = palette();
    const qreal w = width();
    const qreal h = height();
    // The parent's colour shows in the corners outside the circle.
    face_.fill(pal.color(QPalette::Window));

    QPainter p(&face_);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(pal.color(QPalette::Button));
    p.drawEllipse(QRectF(2, 2, w - 4, h - 4));

    // Lit from the upper left: a highlight on that half of the face, a shadow on the other.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(pal.color(QPalette::Light), 2));
    p.drawArc(QRectF(2, 2, w - 2, h - 2), 45 * 16, 180 * 16);
    p.setPen(QPen(pal.color(QPalette::Dark), 2));
    p.drawArc(QRectF(1, 1, w - 2, h - 2), 225 * 16, 180 * 16);

    const QRectF rim(0.5, 0.5, w - 1, h - 1);
    p.setPen(QPen(isEnabled() ? QColor(Qt::black) : pal.color(QPalette::Dark), 1));
    p.drawEllipse(rim);
    p.setPen(QPen(hasFocus() ? QColor(Qt::black) : pal.color(QPalette::Dark), 1));
    p.drawArc(rim, 45 * 16, 180 * 16);
}

void TKnob::DrawPointer(QPainter& painter) const {
    const KnobScale::Line line = KnobScale::Pointer(PositionAngle(), radius_);
    const QPoint inner(line.inner.x, line.inner.y);
    const QPoint outer(line.outer.x, line.outer.y);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(palette().color(QPalette::Light), 1));
    painter.drawLine(inner + QPoint(1, 1), outer + QPoint(1, 1));
    painter.setPen(QPen(lineColor_, 1));
    painter.drawLine(inner, outer);
}

void TKnob::paintEvent(QPaintEvent*) {
    if (face_.isNull())
        RenderFace();
    QPainter painter(this);
    painter.drawPixmap(0, 0, face_);
    DrawPointer(painter);
}

} // namespace korv::controls
