#include "TLCDLabel.h"

#include "Dialogs.h"

#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <new>
#include <span>

namespace korv::controls {
namespace {

int extent(std::int64_t size) {
    return static_cast<int>(std::clamp<std::int64_t>(size, 1, TLCDLabel::kMaxExtent));
}

QColor halved(const QColor& color) {
    return QColor(color.red() >> 1, color.green() >> 1, color.blue() >> 1);
}

} // namespace

TLCDLabel::TLCDLabel(QWidget* parent)
    : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
    shadeColor_ = halved(pixelOn_);
    // The first paint sizes the control around its cells instead of fitting cells to the
    // toolkit's default size.
    lastWidth_ = width();
    lastHeight_ = height();
    Paint();
}

void TLCDLabel::SetCaption(const QByteArray& caption) {
    const QByteArray kept = caption.left(kMaxCaption);
    if (kept == caption_)
        return;
    caption_ = kept;
    UpdateAccessibleName();
    Paint();
}

void TLCDLabel::UpdateAccessibleName() {
    // Screen readers get what the cells show (a yen sign, katakana), not the raw codes.
    const std::u32string text =
        generator_.readableText(std::string_view(caption_.constData(), caption_.size()));
    setAccessibleName(QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size())));
}

void TLCDLabel::SetDotMatrix(TDotMatrix kind) {
    if (kind != TDotMatrix::CustomFont)
        generator_.select(kind);
    else if (filename_.isEmpty())
        fontError_ = QStringLiteral("No font file is named.");
    else
        LoadFont(filename_);
    UpdateAccessibleName();
    Paint();
}

void TLCDLabel::SetPixelSize(TPixelSize size) {
    setPlain(pixelSize_, size);
}

void TLCDLabel::SetPixelSpacing(int spacing) {
    setSpacing(pixelSpacing_, spacing, "Pixel spacing can't be less than zero!");
}

void TLCDLabel::SetPixelShape(TPixelShape shape) {
    setPlain(pixelShape_, shape);
}

void TLCDLabel::SetPixelWidth(int width) {
    // With a fixed PixelSize the width follows from it and the next paint overwrites it anyway.
    if (pixelSize_ != TPixelSize::pixCustom || width == pixelWidth_)
        return;
    setCount(pixelWidth_, width, "Display pixel width must be 1 or greater!");
}

void TLCDLabel::SetPixelHeight(int height) {
    if (pixelSize_ != TPixelSize::pixCustom || height == pixelHeight_)
        return;
    setCount(pixelHeight_, height, "Display pixel height must be 1 or greate!");
}

void TLCDLabel::SetCharSpacing(int spacing) {
    setSpacing(charSpacing_, spacing, "Character spacing can't be less than zero!");
}

void TLCDLabel::SetLineSpacing(int spacing) {
    setSpacing(lineSpacing_, spacing, "Line spacing can't be less than zero!");
}

void TLCDLabel::SetBorderSpace(int space) {
    setSpacing(borderSpace_, space, "Border spacing can't be less than zero!");
}

void TLCDLabel::SetTextLines(int lines) {
    setCount(textLines_, lines, "Display needs at least on line!");
}

void TLCDLabel::SetNoOfChars(int chars) {
    setCount(noOfChars_, chars, "Display needs at least one character!");
}

void TLCDLabel::SetBackGround(const QColor& color) {
    setPlain(backGround_, color);
}

void TLCDLabel::SetBorderStyle(TMyBorder style) {
    setPlain(borderStyle_, style);
}

void TLCDLabel::SetBorderColor(const QColor& color) {
    setPlain(borderColor_, color);
}

void TLCDLabel::SetPixelOn(const QColor& color) {
    shadeColor_ = halved(color);
    setPlain(pixelOn_, color);
}

void TLCDLabel::SetPixelOff(const QColor& color) {
    setPlain(pixelOff_, color);
}

void TLCDLabel::Setfilename(const QString& name) {
    filename_ = name;
    SetDotMatrix(TDotMatrix::CustomFont);
}

QSize TLCDLabel::sizeHint() const {
    return QSize(lastWidth_, lastHeight_);
}

void TLCDLabel::setSpacing(int& field, int value, const char* error) {
    if (value < 0) {
        Dialogs::instance().showError(this, QString::fromLatin1(error));
        return;
    }
    if (value == field)
        return;
    field = value;
    Paint();
}

void TLCDLabel::setCount(int& field, int value, const char* error) {
    if (value <= 0) {
        Dialogs::instance().showError(this, QString::fromLatin1(error));
        return;
    }
    if (value == field)
        return;
    field = value;
    Paint();
}

template <typename T> void TLCDLabel::setPlain(T& field, const T& value) {
    if (value == field)
        return;
    field = value;
    Paint();
}

bool TLCDLabel::LoadFont(const QString& name) {
    // Opened without waiting: opening a named pipe for reading would block the GUI thread until
    // a writer comes, and reading a device may never end. Only a regular file is read.
    const QByteArray path = QFile::encodeName(name);
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fontError_ = QStringLiteral("Cannot open the font file \"%1\".").arg(name);
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        fontError_ = QStringLiteral("Cannot open the font file \"%1\".").arg(name);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        fontError_ =
            QStringLiteral("\"%1\" is not a regular file, so it cannot be a font file.").arg(name);
        return false;
    }
    if (static_cast<std::uint64_t>(info.st_size) > LcdFontFile::kMaxUsefulBytes) {
        fontError_ = QStringLiteral("The font file \"%1\" is %2 bytes, more than the %3 bytes of "
                                    "the largest font (256 glyphs of %4 x %4 dots).")
                         .arg(name)
                         .arg(static_cast<qint64>(info.st_size))
                         .arg(static_cast<qint64>(LcdFontFile::kMaxUsefulBytes))
                         .arg(LcdFontFile::kMaxGlyphSide);
        return false;
    }
    const QByteArray bytes = file.read(static_cast<qint64>(LcdFontFile::kMaxUsefulBytes));
    const std::span<const std::uint8_t> view(
        reinterpret_cast<const std::uint8_t*>(bytes.constData()),
        static_cast<std::size_t>(bytes.size()));
    std::string error;
    try {
        std::optional<LcdFont> font = LcdFontFile::parse(view, error);
        if (!font) {
            fontError_ = QString::fromStdString(error);
            return false;
        }
        generator_.setCustomFont(std::move(*font));
    } catch (const std::bad_alloc&) {
        fontError_ = QStringLiteral("There is not enough memory for the font's glyphs.");
        return false;
    }
    fontError_.clear();
    return true;
}

LcdGeometry TLCDLabel::Geometry() {
    if (pixelSize_ != TPixelSize::pixCustom) {
        pixelWidth_ = static_cast<int>(pixelSize_) + 1;
        pixelHeight_ = pixelWidth_;
    }
    LcdGeometry geometry;
    geometry.dotWidth = pixelWidth_;
    geometry.dotHeight = pixelHeight_;
    geometry.pixelSpacing = pixelSpacing_;
    geometry.glyphColumns = generator_.columns();
    geometry.glyphRows = generator_.rows();
    geometry.charSpacing = charSpacing_;
    geometry.lineSpacing = lineSpacing_;
    geometry.borderSpace = borderSpace_;
    geometry.chars = noOfChars_;
    geometry.lines = textLines_;
    return geometry;
}

void TLCDLabel::Paint() {
    if (painting_)
        return;
    const QScopedValueRollback guard(painting_, true);

    LcdGeometry geometry = Geometry();
    if (width() != lastWidth_ || height() != lastHeight_) {
        geometry.fitTo(width(), height());
        noOfChars_ = geometry.chars;
        textLines_ = geometry.lines;
    }
    const int w = extent(geometry.width());
    const int h = extent(geometry.height());
    lastWidth_ = w;
    lastHeight_ = h;
    if (size() != QSize(w, h))
        resize(w, h);

    if (picture_.size() != QSize(w, h))
        picture_ = QImage(w, h, QImage::Format_RGB32);
    if (picture_.isNull())
        return;
    QPainter painter(&picture_);
    // An explicitly hidden control is only seen where hidden controls are shown, as in a designer.
    if (isHidden() && testAttribute(Qt::WA_WState_ExplicitShowHide)) {
        painter.fillRect(0, 0, w, h, palette().color(QPalette::Active, QPalette::Button));
    } else {
        painter.fillRect(0, 0, w, h, backGround_);
        DrawBorder(painter, w, h);
        if (!testAttribute(Qt::WA_ForceDisabled))
            DrawText(painter, geometry);
    }
    painter.end();
    update();
}

void TLCDLabel::DrawBorder(QPainter& painter, int width, int height) const {
    if (borderStyle_ == TMyBorder::frNone)
        return;
    // The frame keeps its colours when the control or its window is disabled or inactive.
    const QColor shadow = palette().color(QPalette::Active, QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Active, QPalette::Light);
    const QColor frame = borderStyle_ == TMyBorder::frRaised    ? shadow
                         : borderStyle_ == TMyBorder::frLowered ? highlight
                                                                : borderColor_;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(frame);
    painter.drawRect(0, 0, width - 1, height - 1);
    if (borderStyle_ == TMyBorder::frSingle)
        return;
    painter.setPen(borderStyle_ == TMyBorder::frRaised ? highlight : shadow);
    painter.drawLine(width - 1, 0, 0, 0);
    painter.drawLine(0, 0, 0, height - 1);
}

void TLCDLabel::DrawText(QPainter& painter, const LcdGeometry& geometry) {
    LcdGlyphStyle style;
    style.cellWidth = extent(geometry.charWidth());
    style.cellHeight = extent(geometry.charHeight());
    style.dotWidth = geometry.dotWidth;
    style.dotHeight = geometry.dotHeight;
    style.pixelSpacing = geometry.pixelSpacing;
    style.shape = pixelShape_;
    style.background = backGround_.rgb();
    style.on = pixelOn_.rgb();
    style.off = pixelOff_.rgb();
    style.shade = shadeColor_.rgb();
    style.generatorRevision = generator_.revision();
    glyphs_.setStyle(style);

    bool ended = false;
    for (int line = 0; line < geometry.lines; ++line) {
        const std::int64_t y = geometry.cellY(line);
        if (y >= lastHeight_)
            break;
        for (int column = 0; column < geometry.chars; ++column) {
            const std::int64_t x = geometry.cellX(column);
            if (x >= lastWidth_)
                break;
            const qsizetype index = static_cast<qsizetype>(line) * geometry.chars + column;
            int code = 0;
            if (!ended && index < caption_.size()) {
                code = static_cast<unsigned char>(caption_[index]);
                ended = code == 0;
            }
            painter.drawImage(static_cast<int>(x), static_cast<int>(y),
                              glyphs_.glyph(generator_, generator_.clamp(code)));
        }
    }
}

bool TLCDLabel::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::EnabledChange:
    case QEvent::PaletteChange:
        Paint();
        break;
    default:
        break;
    }
    return handled;
}

void TLCDLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

void TLCDLabel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (width() != lastWidth_ || height() != lastHeight_)
        Paint();
}

void TLCDLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    pressed_ = true;
    event->accept();
}

void TLCDLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    event->accept();
    // Like a button: releasing outside the control takes the click back.
    const bool clicked = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (clicked && OnClick)
        OnClick(*this);
}

} // namespace korv::controls
