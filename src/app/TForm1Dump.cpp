// The dump commands of the main window's File page: open and store files, the text export,
// the paced and the fast send, the dump request, and the reception of dumps and notices.
#include "TForm1.h"

#include "Dialogs.h"
#include "DumpProtocol.h"
#include "DumpReceiver.h"
#include "EditorExport.h"
#include "GuiMailbox.h"
#include "PacedSender.h"
#include "SysexFile.h"
#include "TFaderDesk.h"
#include "TMidiIn.h"
#include "TMidiOut.h"
#include "TTempoTimer.h"

#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QSpinBox>

#include <cstdio>

namespace korv::app {
namespace {

const QString SysexFilter = QStringLiteral("KORVANETTE sysex file (*.syx)");

} // namespace

void TForm1::SetUpDumpExchange() {
    mailbox_ = new GuiMailbox(this);
    // Pieces go out on the timer thread; what the window shows is posted to it, in order.
    dump::PacedSender::Hooks hooks;
    hooks.sendPiece = [this](const std::uint8_t* data, int length) {
        midiOut1_->SysEx(data, length);
    };
    hooks.stopTicks = [this] { sysexTimer_->SetEnabled(false); };
    hooks.progress = [this](int bytesLeft) {
        mailbox_->Post([this, bytesLeft] { bytesToSend_->setText(QString::number(bytesLeft)); });
    };
    hooks.finished = [this] { mailbox_->Post([this] { PacedSendFinished(); }); };
    pacedSender_ = std::make_unique<dump::PacedSender>(settingsImage_, std::move(hooks));
    sysexTimer_->OnTimer = [this](midi::TTempoTimer&, std::int8_t) { SysexTimerTimer(); };

    dumpReceiver_ =
        std::make_unique<dump::DumpReceiver>(settingsImage_, emulatedBox_->currentText());
    connect(deviceID_, &QSpinBox::valueChanged, this,
            [this](int id) { dumpReceiver_->SetDeviceId(id); });
    midiIn1_->OnSysEx = [this](midi::TMidiIn&, const std::uint8_t* data, int size) {
        MidiIn1SysEx(data, size);
    };
}

void TForm1::OpenSysexClick() {
    if (RefusedWhileSending())
        return;
    const auto choice = controls::Dialogs::instance().getOpenFile(
        this, {QStringLiteral("Open Sysex File"),
               {SysexFilter, QStringLiteral("Any File (*.*)")},
               QStringLiteral("syx"),
               openDialogFolder_,
               QStringLiteral("korvanette.syx")});
    if (!choice || !QFileInfo::exists(choice->path))
        return;
    const dump::SysexReadResult read = dump::ReadSysexFile(choice->path, settingsImage_);
    if (!read.ok)
        controls::Dialogs::instance().showOkCancel(
            this, QStringLiteral("File Error"), QStringLiteral("Can't perform Sysex File Read..."));
    const QFileInfo file(choice->path);
    openDialogFolder_ = file.absolutePath();
    setWindowTitle(QStringLiteral("Virtual Korvanette : ") + file.fileName());
    faderDesk_->hide();
    faderDesk_->TearDownSurface();
    LoadSettingsToForm();
    faderDesk_->BuildSurface();
    faderDesk_->RefreshKnobs();
}

void TForm1::StoreSysexClick() {
    // Before the dialog: a cancelled store still leaves the header and switch bytes written.
    SaveSettingsFromForm();
    const auto choice = controls::Dialogs::instance().getSaveFile(
        this, {QStringLiteral("Save Sysex File To ..."),
               {SysexFilter, QStringLiteral("packdump INI file (*.INI)")},
               QStringLiteral("syx"),
               saveDialogFolder_,
               QStringLiteral("custom.syx")});
    if (!choice)
        return;
    const dump::FileResult result =
        choice->filterIndex == 1
            ? dump::WriteTextExport(choice->path,
                                    CollectTextExport(*editor_, testReleaseLabel_->text(),
                                                      QDateTime::currentDateTime()))
            : dump::WriteSysexFile(choice->path, settingsImage_);
    if (!result.ok) {
        // The old file is still there. A desktop user has no console: the line on standard
        // error alone would let them believe the settings were saved.
        std::fputs("Cannot open output file.\n", stderr);
        SetStatus(QStringLiteral("Cannot open output file."), FailureColor, result.error);
        return;
    }
    SetStatus(QStringLiteral("Stored To File : ") + QFileInfo(choice->path).fileName(),
              SuccessColor);
}

bool TForm1::RefusedWhileSending() {
    if (!pacedSender_->Running())
        return false;
    SetStatus(QString::fromLatin1(dump::SendRunningText), FailureColor);
    return true;
}

void TForm1::SlowSendToKorvaneClick() {
    if (RefusedWhileSending())
        return;
    SaveSettingsFromForm();
    SlowSendSysexToKorvaneExecute();
}

void TForm1::SlowSendSysexToKorvaneExecute() {
    if (!pacedSender_->StartPaced())
        return;
    // The box needs a moment after the header; the window stays alive meanwhile.
    WaitWithEvents(250);
    sysexTimer_->SetEnabled(true);
}

void TForm1::SysexTimerTimer() {
    pacedSender_->OnTick();
}

void TForm1::PacedSendFinished() {
    if (pacedSender_->ApplyHeldDump())
        LoadSettingsToForm();
}

void TForm1::SendToKorvaneClick() {
    if (RefusedWhileSending())
        return;
    SaveSettingsFromForm();
    pacedSender_->SendAtOnce();
}

void TForm1::RequestSysexDumpClick() {
    // A request in the middle of a paced dump would cut the dump off at the box.
    if (RefusedWhileSending())
        return;
    const auto request = dump::DumpRequest(deviceID_->value());
    midiOut1_->SysEx(request.data(), static_cast<int>(request.size()));
}

void TForm1::MidiIn1SysEx(const std::uint8_t* data, int size) {
    std::vector<dump::ReceiverEffect> effects = dumpReceiver_->Feed(data, size);
    if (effects.empty())
        return;
    mailbox_->Post([this, effects = std::move(effects)] { ApplyReceiverEffects(effects); });
}

void TForm1::ApplyReceiverEffects(const std::vector<dump::ReceiverEffect>& effects) {
    using Kind = dump::ReceiverEffect::Kind;
    for (const dump::ReceiverEffect& effect : effects) {
        switch (effect.kind) {
        case Kind::Status:
            SetStatus(effect.text, effect.failure ? FailureColor : SuccessColor);
            break;
        case Kind::ReceiveCount:
            sysexReceiveCount_->setText(effect.text);
            break;
        case Kind::DumpReceived:
            // Unlike an opened file, a received dump leaves the caption and the surface alone.
            if (pacedSender_->ApplyReceivedDump(effect.dump) ==
                dump::PacedSender::ApplyResult::Applied)
                LoadSettingsToForm();
            else
                SetStatus(QString::fromLatin1(dump::DumpHeldText), SuccessColor);
            break;
        }
    }
}

} // namespace korv::app
