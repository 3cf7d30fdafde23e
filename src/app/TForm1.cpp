#include "TForm1.h"

#include "BoxSettingsPage.h"
#include "BuildStamp.h"
#include "ButtSettingsPage.h"
#include "Dialogs.h"
#include "DumpReceiver.h"
#include "MidiSystem.h"
#include "PacedSender.h"
#include "PotSettingsPage.h"
#include "PresetsFile.h"
#include "SettingsEditor.h"
#include "ShortMessageInbox.h"
#include "TFaderDesk.h"
#include "TKnob.h"
#include "TMidiIn.h"
#include "TMidiOut.h"
#include "TTempoTimer.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace korv::app {

const QColor TForm1::FailureColor{255, 0, 0};
const QColor TForm1::SuccessColor{0, 128, 128};

namespace {

const QString ReleaseText = QStringLiteral("Release 1.004 : ");
const QString WebAddress = QStringLiteral("https://korvanettesim.example.org/");

const char* const HelpText =
    "About Virtual Korvanette\n"
    "------------------------\n"
    "Virtual Korvanette stands in for the Korvanette MIDI controller: it shows the box on screen,\n"
    "with its knobs, buttons and LCD sending real MIDI, and edits every byte of the box's\n"
    "settings memory, which it loads from and stores to .syx files and exchanges with a real box\n"
    "as one SysEx dump.\n"
    "Without a box, connect a synthesizer or DAW to the \"Virtual Korvanette\" MIDI port.\n"
    "\n"
    "Hints :\n"
    "--------------\n"
    "In Virtual FaderDesk :\n"
    "  - Right-Click on Pots To Edit Faders\n"
    "  - click on LCD to switch display modes\n"
    "In Editor :\n"
    "  - use PAGE UP/PAGE DOWN keys to increase / decrease encoder or button number\n";

template <typename W> W* named(W* widget, const char* name, const QString& accessible) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(accessible);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* l = named(new QLabel(text, parent), name, text);
    l->setGeometry(geometry);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* b = named(new QPushButton(text, parent), name, text);
    b->setGeometry(geometry);
    return b;
}

// A selector or spin box with the label in front of it as its buddy and accessible name.
template <typename W> W* labelled(W* widget, const char* name, QLabel* caption, QRect geometry) {
    named(widget, name, caption->text().trimmed());
    caption->setBuddy(widget);
    widget->setGeometry(geometry);
    return widget;
}

} // namespace

TForm1::TForm1(midi::MidiSystem& midiSystem, QWidget* parent)
    : TForm1([&midiSystem]() -> midi::MidiSystem& { return midiSystem; }, parent) {}

TForm1::TForm1(const MidiSystemSource& midiSystem, QWidget* parent)
    : QMainWindow(parent)
    , sysexTimer_(std::make_unique<midi::TTempoTimer>()) {
    setObjectName(QStringLiteral("Form1"));

    pages_ = named(new QTabWidget(this), "PageControl1", QStringLiteral("Pages"));
    setCentralWidget(pages_);
    const auto addPage = [this](const char* name, const QString& caption) {
        auto* page = named(new QWidget, name, caption);
        pages_->addTab(page, caption);
        return page;
    };
    fileSheet_ = addPage("FileSheet", QStringLiteral("File"));

    // The surface window comes after the start-up fill; until then the editor sees no surface.
    editor::SurfaceKnobs surface;
    surface.IsVisible = [this] { return faderDesk_ && faderDesk_->isVisible(); };
    surface.KnobInSlot = [this](int slot) -> controls::TKnob* {
        return faderDesk_ ? faderDesk_->KnobTable().at(slot).data() : nullptr;
    };
    editor_ = std::make_unique<editor::SettingsEditor>(settingsImage_, std::move(surface), pages_);
    const auto addEditorPage = [this](QWidget* page, const QString& caption) {
        page->setAccessibleName(caption);
        pages_->addTab(page, caption);
        return page;
    };
    boxSettingsTabsheet_ = addEditorPage(&editor_->BoxPage(), QStringLiteral("Box Config"));
    potSettings_ = addEditorPage(&editor_->PotPage(), QStringLiteral("Encoders"));
    buttSettings_ = addEditorPage(&editor_->ButtPage(), QStringLiteral("Buttons"));
    helpTabSheet_ = addPage("HelpTabSheet", QStringLiteral("Help"));
    connect(pages_, &QTabWidget::currentChanged, this,
            [this] { editor_->ButtPage().ButtModeChange(); });

    BuildFilePage(fileSheet_);

    helpMemo_ = named(new QPlainTextEdit(helpTabSheet_), "HelpMemo", QStringLiteral("Help"));
    helpMemo_->setReadOnly(true);
    helpMemo_->setPlainText(QString::fromLatin1(HelpText));
    (new QVBoxLayout(helpTabSheet_))->addWidget(helpMemo_);

    sysexHeadTimer_ = new QTimer(this);
    sysexHeadTimer_->setObjectName(QStringLiteral("SysexHeadTimer"));
    sysexHeadTimer_->setSingleShot(true);
    sysexHeadTimer_->setInterval(100);
    connect(sysexHeadTimer_, &QTimer::timeout, sysexHeadTimer_, &QTimer::stop);

    auto* midiHealthTimer = new QTimer(this);
    midiHealthTimer->setObjectName(QStringLiteral("MidiHealthTimer"));
    connect(midiHealthTimer, &QTimer::timeout, this, &TForm1::CheckMidiHealth);
    midiHealthTimer->start(500);

    FormCreate(midiSystem);
    SetUpDumpExchange();

    faderDesk_ = std::make_unique<surface::TFaderDesk>(settingsImage_, *midiOut1_);
    faderDesk_->OnEditEncoder = [this](int encoderId) {
        ShowEditorPage(potSettings_);
        editor_->PotPage().PotNumber()->setValue(encoderId);
    };
    faderDesk_->OnEditButton = [this](int buttonId) {
        ShowEditorPage(buttSettings_);
        editor_->ButtPage().ButtNumber()->setValue(buttonId);
    };
    SetUpMidiInput();
    resize(760, 560);
}

TForm1::~TForm1() {
    // No tick and no input buffer may reach the dump exchange once it starts going away.
    sysexTimer_->SetEnabled(false);
    midiIn1_->SetUsing(false);
    // The pages go with the tab widget after the editor; no page change may reach it then.
    disconnect(pages_, nullptr, this, nullptr);
    // The surface window lives as long as the main window; the ports close as they go.
    faderDesk_.reset();
}

void TForm1::BuildFilePage(QWidget* page) {
    testReleaseLabel_ = label(page, "TestReleaseLabel", QString(), {16, 8, 420, 18});

    // The whole label is the link, not only its text: a click anywhere on it opens the address.
    vantuURLLabel_ = label(page, "VantuURLLabel", WebAddress, {16, 28, 420, 18});
    vantuURLLabel_->setTextFormat(Qt::PlainText);
    QFont underlined = vantuURLLabel_->font();
    underlined.setUnderline(true);
    vantuURLLabel_->setFont(underlined);
    QPalette navy = vantuURLLabel_->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    vantuURLLabel_->setPalette(navy);
    vantuURLLabel_->setCursor(Qt::PointingHandCursor);
    vantuURLLabel_->installEventFilter(this);

    testKnob_ = named(new controls::TKnob(page), "TestKnob", QStringLiteral("Test"));
    testKnob_->setGeometry(560, 8, 32, 32);
    testKnob_->SetParams(0, 0, 65);
    testKnob_->OnChange = [this](controls::TKnob&) { TestKnobChange(); };
    testKnob_->OnMouseDown = [this](controls::TKnob&, Qt::MouseButton b, QPoint) {
        TestKnobMouseDown(b);
    };

    auto* label17 = label(page, "Label17", QStringLiteral("Emulated Box :"), {16, 60, 120, 20});
    emulatedBox_ = labelled(new QComboBox(page), "EmulatedBox", label17, {150, 56, 180, 24});
    emulatedBox_->addItems({QStringLiteral("Korvane Grand"), QStringLiteral("Korvane Duo"),
                            QStringLiteral("Portmaster"), QStringLiteral("Korvanette"), QString()});
    emulatedBox_->setEnabled(false);

    auto* outLabel =
        label(page, "MIDIOutLabel", QStringLiteral("MIDI OUT PORT :"), {16, 100, 130, 20});
    midiOutComboBox_ =
        labelled(new QComboBox(page), "MIDIOutComboBox", outLabel, {150, 96, 330, 24});
    auto* label23 = label(page, "Label23", QStringLiteral("MIDI IN PORT :"), {16, 132, 130, 20});
    midiInComboBox_ = labelled(new QComboBox(page), "MIDIInComboBox", label23, {150, 128, 330, 24});
    connect(midiOutComboBox_, &QComboBox::activated, this, &TForm1::MIDIOutComboBoxChange);
    connect(midiInComboBox_, &QComboBox::activated, this, &TForm1::MIDIInComboBoxChange);

    statusLabel_ = label(page, "StatusLabel", QString(), {16, 166, 560, 20});

    showFaderDesk_ =
        button(page, "ShowFaderDesk", QStringLiteral("Show Virtual Box"), {16, 198, 150, 28});
    showFaderDesk_->setEnabled(false);
    connect(showFaderDesk_, &QPushButton::clicked, this, &TForm1::ShowFaderDeskClick);
    openSysex_ = button(page, "OpenSysex", QStringLiteral("Open Sysex File"), {176, 198, 150, 28});
    connect(openSysex_, &QPushButton::clicked, this, &TForm1::OpenSysexClick);
    storeSysex_ = button(page, "StoreSysex", QStringLiteral("Store To File"), {336, 198, 150, 28});
    storeSysex_->setEnabled(false);
    connect(storeSysex_, &QPushButton::clicked, this, &TForm1::StoreSysexClick);
    slowSendToKorvane_ =
        button(page, "SlowSendToKorvane", QStringLiteral("Send Sysex"), {16, 232, 150, 28});
    requestSysexDump_ =
        button(page, "RequestSysexDump", QStringLiteral("Request Sysex Dump"), {176, 232, 150, 28});
    sendToKorvane_ =
        button(page, "SendToKorvane", QStringLiteral("Fast Send To Korvane"), {336, 232, 150, 28});
    sendToKorvane_->hide();
    for (auto* b : {slowSendToKorvane_, requestSysexDump_, sendToKorvane_})
        b->setEnabled(false);
    connect(slowSendToKorvane_, &QPushButton::clicked, this, &TForm1::SlowSendToKorvaneClick);
    connect(requestSysexDump_, &QPushButton::clicked, this, &TForm1::RequestSysexDumpClick);
    connect(sendToKorvane_, &QPushButton::clicked, this, &TForm1::SendToKorvaneClick);

    auto* label31 = label(page, "Label31", QStringLiteral("Sysex Device ID :"), {16, 278, 180, 20});
    deviceID_ = labelled(new QSpinBox(page), "DeviceID", label31, {200, 274, 60, 24});
    deviceID_->setRange(0, 7);

    auto* label28 =
        label(page, "Label28", QStringLiteral("Sysex Send Speed Tuning :"), {16, 310, 180, 20});
    sysexSendSpeed_ = labelled(new QSpinBox(page), "SysexSendSpeed", label28, {200, 306, 80, 24});
    sysexSendSpeed_->setRange(2, 1000);
    sysexSendSpeed_->setValue(200);
    label(page, "Label29", QStringLiteral("bytes / sec (approx)"), {290, 310, 160, 20});
    connect(sysexSendSpeed_, &QSpinBox::valueChanged, this, &TForm1::SysexSendSpeedChange);

    auto* label24 =
        label(page, "Label24", QStringLiteral("Bytes To Receive   : "), {16, 344, 180, 20});
    sysexReceiveCount_ = label(page, "SysexReceiveCount", QStringLiteral("0"), {200, 344, 80, 20});
    label24->setBuddy(sysexReceiveCount_);
    sysexReceiveCount_->setAccessibleName(label24->text().trimmed());
    auto* label27 =
        label(page, "Label27", QStringLiteral("Bytes To Send        :"), {16, 368, 180, 20});
    bytesToSend_ = label(page, "BytesToSend", QStringLiteral("0"), {200, 368, 80, 20});
    bytesToSend_->setAccessibleName(label27->text().trimmed());

    hintsButton_ =
        button(page, "HintsButton", QStringLiteral("About/Hints ..."), {446, 362, 140, 28});
    connect(hintsButton_, &QPushButton::clicked, this, &TForm1::HintsButtonClick);

    page->setMinimumSize(600, 400);
}

void TForm1::FormCreate(const MidiSystemSource& midiSystem) {
    emulatedBox_->setCurrentIndex(3);
    testReleaseLabel_->setText(ReleaseText + BuildDate() + QStringLiteral(" : ") + BuildTime());
    testReleaseLabel_->setAccessibleName(testReleaseLabel_->text());
    setWindowTitle(QStringLiteral("Virtual Korvanette : Version Compiled on ") + BuildDate() +
                   QStringLiteral(" : ") + BuildTime());

    openDialogFolder_ = QCoreApplication::applicationDirPath();
    saveDialogFolder_ = QCoreApplication::applicationDirPath();

    pages_->setTabVisible(pages_->indexOf(helpTabSheet_), false);
    pages_->setCurrentWidget(fileSheet_);

    editor_->LoadPresets(FindPresetsFile());

    // The port components take the device lists once, now.
    midiSystem_ = &midiSystem();
    midiIn1_ = std::make_unique<midi::TMidiIn>(*midiSystem_);
    midiOut1_ = std::make_unique<midi::TMidiOut>(*midiSystem_);

    const auto fill = [](QComboBox* box, int count, auto nameOf) {
        box->clear();
        for (int d = 0; d < count; ++d)
            box->addItem(QString::fromStdString(nameOf(d)));
        box->addItem(QStringLiteral("None"));
        box->setCurrentIndex(count);
    };
    fill(midiOutComboBox_, midiOut1_->NumDevs(),
         [this](int d) { return midiOut1_->DeviceName(d); });
    SetStatus(QStringLiteral("No MIDI Out Port Selected"), FailureColor);
    fill(midiInComboBox_, midiIn1_->NumDevs(), [this](int d) { return midiIn1_->DeviceName(d); });

    SysexSendSpeedChange(sysexSendSpeed_->value());

    settingsImage_.LoadDefault();
    LoadSettingsToForm();
}

void TForm1::LoadSettingsToForm() {
    editor_->LoadSettingsToForm();
    showFaderDesk_->setEnabled(true);
    storeSysex_->setEnabled(true);
}

void TForm1::SaveSettingsFromForm() {
    editor_->SaveSettingsFromForm(deviceID_->value());
}

void TForm1::SetStatus(const QString& text, const QColor& color, const QString& details) {
    statusLabel_->setText(text);
    statusLabel_->setToolTip(details);
    QPalette palette = statusLabel_->palette();
    palette.setColor(QPalette::WindowText, color);
    statusLabel_->setPalette(palette);
}

void TForm1::MIDIOutComboBoxChange(int index) {
    auto& out = *midiOut1_;
    if (index == out.NumDevs()) {
        out.SetUsing(false);
        SetStatus(QStringLiteral("No MIDI OUT Port Selected"), FailureColor);
        EnablePortButtons();
        return;
    }
    out.SetUsing(false);
    out.SetPort(index);
    out.SetUsing(true);
    if (out.OpenResult() != 0) {
        SetStatus(QStringLiteral("MIDI OUT Port not ready!"), FailureColor);
        out.SetUsing(false);
    } else {
        SetStatus(QStringLiteral("MIDI OUT Port Selected ..."), SuccessColor);
    }
    EnablePortButtons();
}

void TForm1::MIDIInComboBoxChange(int index) {
    auto& in = *midiIn1_;
    if (index == in.NumDevs()) {
        in.SetUsing(false);
        SetStatus(QStringLiteral("No MIDI IN Port Selected"), FailureColor);
        EnableRequestButton();
        return;
    }
    in.SetUsing(false);
    in.SetPort(index);
    in.SetUsing(true);
    if (in.OpenResult() != 0) {
        SetStatus(QStringLiteral("MIDI IN Port not ready!"), FailureColor);
        in.SetUsing(false);
    } else {
        SetStatus(QStringLiteral("MIDI IN Port Selected ..."), SuccessColor);
    }
    EnableRequestButton();
}

// "Send Sysex" while the output is open, "Request Sysex Dump" while both are.
void TForm1::EnablePortButtons() {
    const bool out = midiOut1_->Using();
    sendToKorvane_->setEnabled(out);
    slowSendToKorvane_->setEnabled(out);
    EnableRequestButton();
}

// The input selector changes only this one: the send buttons belong to the output alone.
void TForm1::EnableRequestButton() {
    requestSysexDump_->setEnabled(midiOut1_->Using() && midiIn1_->Using());
}

void TForm1::CheckMidiHealth() {
    MidiState now;
    now.inLost = midiIn1_->Lost();
    now.outLost = midiOut1_->Lost();
    now.goneService = midiSystem_->goneService();
    if (midiIn1_->Using()) {
        now.inLink = midiIn1_->PortLink();
        now.inName = QString::fromStdString(midiIn1_->DeviceName(midiIn1_->Port()));
    }
    if (midiOut1_->Using()) {
        now.outLink = midiOut1_->PortLink();
        now.outName = QString::fromStdString(midiOut1_->DeviceName(midiOut1_->Port()));
    }
    const QString trouble = midiHealth_.Check(now);
    if (!trouble.isEmpty())
        SetStatus(trouble, FailureColor);
}

void TForm1::SysexSendSpeedChange(int value) {
    if (const auto tempo = dump::TempoForSpeed(value))
        sysexTimer_->SetTempo(*tempo);
}

void TForm1::ShowFaderDeskClick() {
    faderDesk_->ShowVirtualBox();
}

void TForm1::HintsButtonClick() {
    pages_->setCurrentWidget(helpTabSheet_);
}

void TForm1::VantuURLLabelClick() {
    QDesktopServices::openUrl(QUrl(WebAddress));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == vantuURLLabel_ && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            vantuURLLabel_->rect().contains(mouse->position().toPoint())) {
            VantuURLLabelClick();
            return true;
        }
    }
    if (EscapeCancelsTransfer(watched, event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::TestKnobChange() {
    const int left = testKnob_->Position() + 16;
    testReleaseLabel_->move(left, testReleaseLabel_->y());
    vantuURLLabel_->move(left, vantuURLLabel_->y());
}

void TForm1::TestKnobMouseDown(Qt::MouseButton button) {
    if (button == Qt::RightButton)
        controls::Dialogs::instance().showMessage(this, QStringLiteral("Test"));
}

void TForm1::ShowEditorPage(QWidget* page) {
    show();
    raise();
    activateWindow();
    pages_->setCurrentWidget(page);
}

void TForm1::WaitWithEvents(int ms) {
    sysexHeadTimer_->setInterval(ms);
    sysexHeadTimer_->start();
    while (sysexHeadTimer_->isActive())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace korv::app
