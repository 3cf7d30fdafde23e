// One session of the program as a musician has it: a JACK server of its own, the program's MIDI
// system and main window, the file dialogs answered from a list, a folder for files, and the
// bytes of the built-in default dump to build expectations on.
#pragma once

#include "TForm1.h"

#include "JackTestServer.h"
#include "MidiSystem.h"
#include "RecordingDialogs.h"
#include "WindowDriver.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace korv::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes readFile(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    const QByteArray all = f.readAll();
    return Bytes(all.begin(), all.end());
}

inline void writeFile(const QString& path, const Bytes& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())),
              qint64(bytes.size()));
}

// The built-in default dump, from the file the program carries.
inline Bytes defaultDump() {
    return readFile(QStringLiteral(KORV_DEFAULT_DUMP));
}

// Writes `bytes` into `image` from image offset `at` on.
inline void patch(Bytes& image, std::size_t at, const Bytes& bytes) {
    ASSERT_LE(at + bytes.size(), image.size());
    std::copy(bytes.begin(), bytes.end(), image.begin() + std::ptrdiff_t(at));
}

class Session : public ::testing::Test {
protected:
    // The program starts after its peers, as on a studio machine where JACK and the other
    // programs already run: their ports are in the selectors from the start.
    void startProgram() {
        system = midi::MidiSystem::createDefault();
        form = std::make_unique<app::TForm1>(*system);
        ui.window = form.get();
    }
    QString file(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }

    JackTestServer server;
    RecordingDialogs dialogs;
    QTemporaryDir folder;
    std::unique_ptr<midi::MidiSystem> system;
    std::unique_ptr<app::TForm1> form;
    WindowDriver ui;
};

} // namespace korv::test
