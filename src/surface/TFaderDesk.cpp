#include "TFaderDesk.h"

#include "SettingsImage.h"
#include "SurfaceButton.h"
#include "TKnob.h"
#include "TLCDLabel.h"
#include "TMidiOut.h"
#include "Tag.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>

#include <algorithm>

namespace korv::surface {

namespace {

constexpr int HintTag = -1;
constexpr int LcdTag = -10;
constexpr int HighestBank = model::BankCount;

void place(QWidget* widget, const layout::Rect& r) {
    widget->setGeometry(r.left, r.top, r.width, r.height);
}

} // namespace

TFaderDesk::TFaderDesk(model::SettingsImage& image, midi::TMidiOut& midiOut, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , image_(image)
    , midiOut_(midiOut) {
    setObjectName("FaderDesk");
    setWindowTitle(Caption);
    setAccessibleName(Caption);
    // Closing the main window ends the program even while the surface is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(layout::WindowWidth, layout::KnobStepHeight + layout::ButtonStepExtra);

    label1_ = new QLabel("Hint: Right-Click To Edit Faders", this);
    label1_->setObjectName("Label1");
    label1_->setAccessibleName(label1_->text());
    label1_->move(0, 0);
    label1_->adjustSize();
    SetTag(label1_, HintTag);

    backLightLcdPanel_ = new controls::TLCDLabel(this);
    backLightLcdPanel_->setObjectName("BackLightLCDPanel");
    backLightLcdPanel_->setAccessibleName("LCD");
    backLightLcdPanel_->SetDotMatrix(controls::TDotMatrix::Hitachi);
    backLightLcdPanel_->SetPixelSize(controls::TPixelSize::pix1x1);
    backLightLcdPanel_->SetPixelSpacing(1);
    backLightLcdPanel_->SetCharSpacing(2);
    backLightLcdPanel_->SetLineSpacing(2);
    backLightLcdPanel_->SetBorderSpace(6);
    backLightLcdPanel_->SetTextLines(LcdLineCount);
    backLightLcdPanel_->SetNoOfChars(LcdLineLength);
    backLightLcdPanel_->SetBackGround(QColor(0, 0, 128));
    backLightLcdPanel_->SetPixelOn(QColor(255, 255, 0));
    backLightLcdPanel_->SetPixelOff(QColor(128, 0, 128));
    backLightLcdPanel_->resize(layout::BackLightLcdWidth, layout::BackLightLcdHeight);
    backLightLcdPanel_->move(layout::CentredLeft(width(), backLightLcdPanel_->width()),
                             layout::LcdTop);
    backLightLcdPanel_->OnClick = [this](controls::TLCDLabel&) { BackLightLCDPanelClick(); };
    SetTag(backLightLcdPanel_, LcdTag);

    lcdPanel_ = new QFrame(this);
    lcdPanel_->setObjectName("LCDPanel");
    lcdPanel_->setAccessibleName("LCD");
    lcdPanel_->setFrameStyle(QFrame::Box | QFrame::Plain);
    lcdPanel_->setLineWidth(1);
    lcdPanel_->setAutoFillBackground(true);
    QPalette white = lcdPanel_->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    lcdPanel_->setPalette(white);
    lcdPanel_->setGeometry(layout::CentredLeft(width(), layout::PlainLcdWidth), layout::LcdTop,
                           layout::PlainLcdWidth, layout::PlainLcdHeight);
    lcdPanel_->installEventFilter(this);
    QFont terminal("Monospace");
    terminal.setStyleHint(QFont::TypeWriter);
    terminal.setFixedPitch(true);
    terminal.setPixelSize(layout::PlainLcdFontPixels);
    for (int n = 0; n < LcdLineCount; ++n) {
        auto* line = new QLabel(lcdPanel_);
        line->setObjectName(QString("LCDLine%1").arg(n));
        line->setAccessibleName(QString("LCD line %1").arg(n + 1));
        line->setFont(terminal);
        line->setGeometry(
            layout::PlainLcdLineLeft, layout::PlainLcdFirstLineTop + n * layout::PlainLcdLinePitch,
            layout::PlainLcdWidth - layout::PlainLcdLineLeft - 1, layout::PlainLcdLinePitch);
        line->installEventFilter(this);
        lcdLine_[n] = line;
    }
    SetTag(lcdPanel_, LcdTag);
    lcdPanel_->hide();
}

TFaderDesk::~TFaderDesk() {
    // The run-time controls call back into this window; they must go while it is still whole.
    TearDownSurface();
}

void TFaderDesk::BuildSurface() {
    BuildKnobs();
    BuildButtons();
    PrepareLcd();
    ShowStartupScreen(false);
}

void TFaderDesk::BuildKnobs() {
    resize(layout::WindowWidth, layout::KnobStepHeight);
    for (int i = 0; i < layout::KnobCount; ++i) {
        auto* label = new QLabel("0", this);
        label->setObjectName(QString("ValueLabel%1").arg(i));
        label->setAccessibleName(QString("Knob %1 value").arg(i + 1));
        SetTag(label, i);
        place(label, layout::ValueLabelRect(i));
        label->show();

        auto* knob = new controls::TKnob(this);
        knobTable_[i] = knob;
        knob->setObjectName(QString("Knob%1").arg(i));
        knob->setAccessibleName(QString("Knob %1").arg(i + 1));
        SetTag(knob, i);
        place(knob, layout::KnobRect(i));
        knob->OnChange = [this](controls::TKnob& k) { KnobChange(k); };
        knob->OnMouseDown = [this](controls::TKnob& k, Qt::MouseButton button, QPoint) {
            KnobEdit(k, button);
        };
        knob->SetPositionLabel(label);
        knob->show();
    }
}

void TFaderDesk::BuildButtons() {
    resize(width(), height() + layout::ButtonStepExtra);

    const struct {
        const char* caption;
        const char* name;
        int tag;
        int top;
    } bankButtons[] = {{"Bank +", "BankUpButton", BankUpTag, layout::BankUpTop},
                       {"Bank -", "BankDownButton", BankDownTag, layout::BankDownTop}};
    for (const auto& b : bankButtons) {
        auto* button = new SurfaceButton(b.caption, this);
        button->setObjectName(b.name);
        SetTag(button, b.tag);
        button->setGeometry(layout::BankButtonLeft, b.top, layout::BankButtonWidth,
                            layout::BankButtonHeight);
        connect(button, &QPushButton::clicked, this, [this, button] { SpecialButtPush(*button); });
        button->show();
    }

    for (const layout::ButtonRow& row : layout::ButtonRows) {
        for (int id = row.firstId; id < row.firstId + row.count; ++id) {
            auto* button = new SurfaceButton(QString::number(id), this);
            button->setObjectName(QString("EventButton%1").arg(id));
            SetTag(button, id);
            place(button, layout::EventButtonRect(row, id, height()));
            connect(button, &QPushButton::clicked, this, [this, button] { ButtPush(*button); });
            button->OnMouseDown = [this](SurfaceButton& b, Qt::MouseButton mouseButton) {
                ButtEdit(b, mouseButton);
            };
            button->show();
        }
    }
}

void TFaderDesk::PrepareLcd() {
    lcdPanel_->move(layout::CentredLeft(width(), lcdPanel_->width()), lcdPanel_->y());
    for (QLabel* line : lcdLine_)
        line->clear();
    backLightLcdPanel_->move(layout::CentredLeft(width(), backLightLcdPanel_->width()),
                             backLightLcdPanel_->y());
    backLightLcdPanel_->SetCaption({});
    WriteLcd(LcdScreens::Blank());
}

void TFaderDesk::TearDownSurface() {
    knobTable_.fill(nullptr);
    const QObjectList kids = children();
    for (QObject* child : kids) {
        // Only what a build tagged goes; widgets added by others without a tag are not ours.
        if (child->isWidgetType() && HasTag(child) && Tag(child) >= 0)
            delete child;
    }
}

int TFaderDesk::EncoderOfKnob(int knobIndex) const {
    return (currentBank_ - 1) * model::EncodersPerBank + knobIndex;
}

void TFaderDesk::RefreshKnobs() {
    for (int k = 0; k < layout::KnobCount; ++k) {
        controls::TKnob* knob = knobTable_[k];
        if (!knob)
            continue;
        const int e = EncoderOfKnob(k);
        // An empty tool tip is never shown, which is exactly "no hint on hover".
        const QString hint = QString::fromLatin1(image_.LabelText(e));
        knob->setToolTip(hint);
        knob->setAccessibleDescription(hint);
        // A damaged dump may hold a bound above 127; the knob would show a value that the
        // engine cannot store or send, so screen and wire agree only with the bounds clamped.
        knob->SetPosition(image_.PotValue(e));
        knob->SetMin(std::min<int>(image_.PotMin(e), 127));
        knob->SetMax(std::min<int>(image_.PotMax(e), 127));
    }
}

void TFaderDesk::ShowVirtualBox() {
    hide();
    TearDownSurface();
    BuildSurface();
    RefreshKnobs();
    show();
    raise();
    ShowStartupScreen(true);
}

void TFaderDesk::KnobChange(controls::TKnob& knob) {
    const int k = Tag(&knob);
    if (k < 0 || k >= layout::KnobCount)
        return;
    // A range read from a damaged dump may reach past 127; the value is a MIDI data byte and
    // a byte of the SysEx image, so it must stay 7-bit.
    const auto v = static_cast<std::uint8_t>(std::clamp(knob.Position(), 0, 127));
    const int e = EncoderOfKnob(k);
    image_.SetPotValue(e, v);
    SendShort(image_.PotStatus(e), image_.PotByte1(e), v);
    lastControlId_ = e;
    ShowEventScreen(e);
}

void TFaderDesk::MoveMatchingKnobs(std::uint8_t status, std::uint8_t first, std::uint8_t second) {
    for (int k = 0; k < layout::KnobCount; ++k) {
        const int e = EncoderOfKnob(k);
        // A knob's turn may run anything, so the window and the slot are looked at every time.
        controls::TKnob* knob = knobTable_[k];
        if (status == image_.PotStatus(e) && first == image_.PotByte1(e) && knob && isVisible())
            knob->SetPosition(second);
    }
}

void TFaderDesk::SendShort(std::uint8_t status, std::uint8_t first, std::uint8_t second) {
    // F0 would open a SysEx that no one closes, leaving every receiver swallowing what follows,
    // and a lone F7 would end someone else's: entries with these statuses send nothing.
    if (status == 0xF0 || status == 0xF7)
        return;
    // The status goes out as stored, other meta entries included. A data byte with its top bit
    // set (only a damaged dump holds one) would read as a new status at the receiver.
    midiOut_.Put(status, first & 0x7F, second & 0x7F);
}

void TFaderDesk::ButtPush(QAbstractButton& button) {
    const int t = Tag(&button);
    if (t < 0 || t >= model::ButtonCount)
        return;
    lastControlId_ = ButtonIdBase + t;
    SendShort(image_.ButtStatus(t), image_.ButtByte1(t), image_.ButtByte2(t));
}

void TFaderDesk::SpecialButtPush(QAbstractButton& button) {
    switch (Tag(&button)) {
    case BankUpTag:
        BankUp();
        break;
    case BankDownTag:
        BankDown();
        break;
    default:
        break;
    }
}

void TFaderDesk::BankUp() {
    currentBank_ = currentBank_ >= HighestBank ? HighestBank : currentBank_ + 1;
    WriteLcd(LcdScreens::BankScreen(currentBank_));
}

void TFaderDesk::BankDown() {
    currentBank_ = currentBank_ <= 1 ? 1 : currentBank_ - 1;
    WriteLcd(LcdScreens::BankScreen(currentBank_));
}

void TFaderDesk::SetLcdLine(int n, std::string_view text) {
    if (n < 0 || n >= LcdLineCount)
        return;
    lcdLines_[n] = LcdScreens::FitLine(text);
    ShowLcdLines();
}

void TFaderDesk::ShowEventScreen(int id) {
    WriteLcd(LcdScreens::EventScreen(displayMode_, id, image_));
}

void TFaderDesk::ShowStartupScreen(bool initialized) {
    WriteLcd(LcdScreens::StartupScreen(initialized));
}

void TFaderDesk::WriteLcd(const LcdScreen& screen) {
    lcdLines_ = screen;
    ShowLcdLines();
}

void TFaderDesk::ShowLcdLines() {
    // The dot-matrix LCD's own visibility decides, even while the window is hidden.
    if (!backLightLcdPanel_->isHidden()) {
        ShowLinesOnDotMatrix();
    } else {
        for (int n = 0; n < LcdLineCount; ++n)
            lcdLine_[n]->setText(QString::fromLatin1(lcdLines_[n]));
    }
}

void TFaderDesk::ShowLinesOnDotMatrix() {
    const std::string all = LcdScreens::Joined(lcdLines_);
    backLightLcdPanel_->SetCaption(QByteArray(all.data(), static_cast<qsizetype>(all.size())));
}

void TFaderDesk::BackLightLCDPanelClick() {
    if (++displayMode_ > HighestDisplayMode) {
        displayMode_ = 0;
        backLightLcdPanel_->hide();
        lcdPanel_->show();
    }
    ShowEventScreen(lastControlId_);
}

void TFaderDesk::LCDPanelClick() {
    displayMode_ = 1;
    ShowLinesOnDotMatrix();
    lcdPanel_->hide();
    backLightLcdPanel_->show();
}

void TFaderDesk::KnobEdit(controls::TKnob& knob, Qt::MouseButton button) {
    if (button != Qt::RightButton || !OnEditEncoder)
        return;
    OnEditEncoder(EncoderOfKnob(Tag(&knob)));
}

void TFaderDesk::ButtEdit(QAbstractButton& button, Qt::MouseButton mouseButton) {
    if (mouseButton != Qt::RightButton || !OnEditButton)
        return;
    OnEditButton(Tag(&button));
}

bool TFaderDesk::eventFilter(QObject* watched, QEvent* event) {
    const bool onPlainLcd = watched == lcdPanel_ ||
                            std::find(lcdLine_.begin(), lcdLine_.end(), watched) != lcdLine_.end();
    if (!onPlainLcd)
        return QWidget::eventFilter(watched, event);
    // Taken here so a press on a line does not travel on to the panel and the window: one
    // click, one mode change.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return true;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const auto* widget = static_cast<QWidget*>(watched);
        if (mouse->button() == Qt::LeftButton &&
            widget->rect().contains(mouse->position().toPoint()))
            LCDPanelClick();
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

} // namespace korv::surface
