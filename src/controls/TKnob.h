// The round, focusable rotary knob that stands for one encoder on the control surface: the value
// follows the angle of the mouse around the centre, and an optional label shows the value.
#pragma once

#include "KnobScale.h"

#include <QColor>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QPainter;

namespace korv::controls {

class TKnob : public QWidget {
    Q_OBJECT

public:
    explicit TKnob(QWidget* parent = nullptr);

    // Writing Position, Min or Max goes through SetParams and so always raises OnChange.
    int Max() const { return scale_.Max(); }
    void SetMax(int max);
    int Min() const { return scale_.Min(); }
    void SetMin(int min);
    int Position() const { return scale_.Position(); }
    void SetPosition(int position);
    void SetParams(int position, int min, int max);

    // Text shown after the value in the PositionLabel; also the accessible name.
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);

    // Colour of the pointer; the button-face colour is refused, the pointer would vanish.
    QColor LineColor() const { return lineColor_; }
    void SetLineColor(const QColor& color);

    // Step of Page Up / Page Down, 0...65535.
    int PageSize() const { return pageSize_; }
    void SetPageSize(int pageSize);

    // Not owned; the knob forgets the label when the label is destroyed.
    QLabel* PositionLabel() const;
    void SetPositionLabel(QLabel* label);

    // A spring-loaded knob returns to 0 (limited into its range) after every drag and whenever
    // it loses the focus.
    bool SpringLoaded() const { return springLoaded_; }
    void SetSpringLoaded(bool springLoaded);

    // Raised at the end of every SetParams, changed or not: keyboard, mouse and program alike.
    std::function<void(TKnob&)> OnChange;
    // Raised for every mouse press, any button, inside or outside the circle.
    std::function<void(TKnob&, Qt::MouseButton, QPoint)> OnMouseDown;

    int PositionAngle() const { return scale_.PositionAngle(); }
    int Radius() const { return radius_; }

    void setVisible(bool visible) override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Squares the knob: the larger side if either grew beyond the last side, else the smaller.
    void ApplySquareRule();
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ShowValue(int value);
    // Writes Position from a sum that may run past the int range (keys at the limits).
    void WritePosition(long long value);
    void TrackMouse(QPoint pos);
    void InvalidateFace();
    void RenderFace();
    void DrawPointer(QPainter& painter) const;

    KnobScale scale_;
    QString caption_;
    QColor lineColor_;
    int pageSize_ = 10;
    QPointer<QLabel> positionLabel_;
    bool springLoaded_ = false;
    // Square side at the last size adjustment; the construction's 40 x 40 is the first.
    int knobSize_ = 0;
    int radius_ = 20;
    int mouseAngle_ = KnobScale::MinAngle;
    bool dragging_ = false;
    // Face and rim; rebuilt only when size, colours, enabled state or focus change, so turning
    // the knob costs one blit and two short lines.
    QPixmap face_;
};

} // namespace korv::controls
