// A character LCD module drawn on screen: a grid of cells, each a matrix of dots lit or unlit
// from a character generator. The control surface shows the emulated box's display with it.
#pragma once

#include "LcdCharacterGenerator.h"
#include "LcdGeometry.h"
#include "LcdGlyphCache.h"
#include "LcdTypes.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>

namespace korv::controls {

class TLCDLabel : public QWidget {
    Q_OBJECT

public:
    // Larger sides are cut off; no sensible display comes near this.
    static constexpr int kMaxExtent = 4096;
    static constexpr int kMaxCaption = 255;

    explicit TLCDLabel(QWidget* parent = nullptr);

    // Bytes are character codes 0-255; at most 255 are kept.
    QByteArray Caption() const { return caption_; }
    void SetCaption(const QByteArray& caption);

    TDotMatrix DotMatrix() const { return generator_.kind(); }
    void SetDotMatrix(TDotMatrix kind);
    TPixelSize PixelSize() const { return pixelSize_; }
    void SetPixelSize(TPixelSize size);
    int PixelSpacing() const { return pixelSpacing_; }
    void SetPixelSpacing(int spacing);
    TPixelShape PixelShape() const { return pixelShape_; }
    void SetPixelShape(TPixelShape shape);
    int PixelWidth() const { return pixelWidth_; }
    void SetPixelWidth(int width);
    int PixelHeight() const { return pixelHeight_; }
    void SetPixelHeight(int height);
    int CharSpacing() const { return charSpacing_; }
    void SetCharSpacing(int spacing);
    int LineSpacing() const { return lineSpacing_; }
    void SetLineSpacing(int spacing);
    int BorderSpace() const { return borderSpace_; }
    void SetBorderSpace(int space);
    int TextLines() const { return textLines_; }
    void SetTextLines(int lines);
    int NoOfChars() const { return noOfChars_; }
    void SetNoOfChars(int chars);
    QColor BackGround() const { return backGround_; }
    void SetBackGround(const QColor& color);
    TMyBorder BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TMyBorder style);
    QColor BorderColor() const { return borderColor_; }
    void SetBorderColor(const QColor& color);
    QColor PixelOn() const { return pixelOn_; }
    void SetPixelOn(const QColor& color);
    QColor PixelOff() const { return pixelOff_; }
    void SetPixelOff(const QColor& color);
    QString filename() const { return filename_; }
    // Stores the name and selects CustomFont, which loads it.
    void Setfilename(const QString& name);
    // Why the last font file was refused; empty after a successful load.
    QString FontError() const { return fontError_; }

    // A left click on the control.
    std::function<void(TLCDLabel&)> OnClick;

    // The picture last drawn, exactly as it is copied onto the control.
    QImage Picture() const { return picture_; }

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Redraws the whole picture at once, fitting the cells to a size set from outside.
    void Paint();
    LcdGeometry Geometry();
    bool LoadFont(const QString& name);
    void DrawBorder(QPainter& painter, int width, int height) const;
    void DrawText(QPainter& painter, const LcdGeometry& geometry);
    void UpdateAccessibleName();
    void setSpacing(int& field, int value, const char* error);
    void setCount(int& field, int value, const char* error);
    template <typename T> void setPlain(T& field, const T& value);

    QByteArray caption_;
    LcdCharacterGenerator generator_;
    TPixelSize pixelSize_ = TPixelSize::pix2x2;
    int pixelSpacing_ = 1;
    TPixelShape pixelShape_ = TPixelShape::spSquare;
    int pixelWidth_ = 2;
    int pixelHeight_ = 2;
    int charSpacing_ = 2;
    int lineSpacing_ = 2;
    int borderSpace_ = 3;
    int textLines_ = 1;
    int noOfChars_ = 10;
    QColor backGround_{0xC0, 0xC0, 0xC0};
    TMyBorder borderStyle_ = TMyBorder::frLowered;
    QColor borderColor_{Qt::black};
    QColor pixelOn_{Qt::black};
    QColor pixelOff_{0xAA, 0xAA, 0xAA};
    QColor shadeColor_;
    QString filename_;
    QString fontError_;

    int lastWidth_ = 0;
    int lastHeight_ = 0;
    bool painting_ = false;
    bool pressed_ = false;
    QImage picture_;
    LcdGlyphCache glyphs_;
};

} // namespace korv::controls
