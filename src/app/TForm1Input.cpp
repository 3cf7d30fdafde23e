// Short messages from the MIDI input: learned into the entry being edited while a learn box is
// ticked, otherwise moving the matching knobs of the surface; and the page keys of the editor.
#include "TForm1.h"

#include "ButtSettingsPage.h"
#include "GuiMailbox.h"
#include "PageKeys.h"
#include "PotSettingsPage.h"
#include "SettingsEditor.h"
#include "ShortMessageInbox.h"
#include "TFaderDesk.h"
#include "TMidiIn.h"

#include <QTabWidget>

namespace korv::app {

void TForm1::SetUpMidiInput() {
    shortInbox_ = std::make_unique<surface::ShortMessageInbox>(
        [this](std::function<void()> work) { mailbox_->Post(std::move(work)); },
        [this](std::uint8_t status, std::uint8_t first, std::uint8_t second) {
            ShortMessageArrived(status, first, second);
        });
    shortInbox_->OnDropped = [this](std::uint64_t dropped) { ShortMessagesDropped(dropped); };
    midiIn1_->OnShort = [this](midi::TMidiIn&, std::uint8_t status, std::uint8_t first,
                               std::uint8_t second) { MidiIn1Short(status, first, second); };
    editor_->OnShowPage = [this](QWidget* page) { pages_->setCurrentWidget(page); };
    new editor::PageKeys(this, pages_, potSettings_, editor_->PotPage().PotNumber(), buttSettings_,
                         editor_->ButtPage().ButtNumber());
}

void TForm1::MidiIn1Short(std::uint8_t status, std::uint8_t first, std::uint8_t second) {
    shortInbox_->Receive(status, first, second);
}

void TForm1::ShortMessageArrived(std::uint8_t status, std::uint8_t first, std::uint8_t second) {
    // Note-offs and system messages are neither learned nor matched.
    if (status < 0x90 || status >= 0xF0)
        return;
    if (editor_->Learn(status, first, second))
        return;
    if (editor_->MotorizedEncoders())
        faderDesk_->MoveMatchingKnobs(status, first, second);
}

void TForm1::ShortMessagesDropped(std::uint64_t dropped) {
    SetStatus(dropped == 1
                  ? QStringLiteral("1 incoming MIDI message was dropped: the program could not "
                                   "keep up with the input")
                  : QStringLiteral("%1 incoming MIDI messages were dropped: the program could "
                                   "not keep up with the input")
                        .arg(dropped),
              FailureColor);
}

} // namespace korv::app
