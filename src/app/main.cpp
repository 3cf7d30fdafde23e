// korvanettesim: the on-screen Korvanette and its settings editor.
#include "BuildStamp.h"
#include "CommandLine.h"
#include "KorvApplication.h"
#include "TForm1.h"

#include "Dialogs.h"
#include "MidiSystem.h"

#include <QCoreApplication>

#include <exception>
#include <future>

int main(int argc, char** argv) {
    namespace app = korv::app;
    // This file is compiled again whenever any library of the program changed (see
    // src/app/CMakeLists.txt), so the caption always tells the build that is running.
    app::SetBuildStamp(__DATE__, __TIME__);
    app::KorvApplication::SetIdentity();
    // --help, --version and --presets-file answer on a terminal that may have no display:
    // a core application will do, and no MIDI service is opened for them.
    if (app::AsksForTerminal(app::ArgumentsOf(argc, argv))) {
        QCoreApplication core(argc, argv);
        const auto answer =
            app::AnswerCommandLine(core.arguments(), QCoreApplication::applicationDirPath());
        return answer ? app::Print(*answer) : 0;
    }

    // Opening the MIDI services waits for the JACK server's answer; that runs on a worker thread
    // while Qt connects to the display and the window builds its pages, and is joined when the
    // window fills its port lists. The first port list of a new JACK client takes a while too,
    // so it is taken there as well.
    auto midiOpening = std::async(std::launch::async, [] {
        auto system = korv::midi::MidiSystem::createDefault();
        (void)system->inputs();
        return system;
    });
    app::KorvApplication application(argc, argv);
    // Qt has taken its own options (-platform, -style...); anything left over is refused.
    if (const auto answer =
            app::AnswerCommandLine(application.arguments(), QCoreApplication::applicationDirPath()))
        return app::Print(*answer);
    try {
        std::unique_ptr<korv::midi::MidiSystem> midi;
        app::TForm1 form([&]() -> korv::midi::MidiSystem& {
            midi = midiOpening.get();
            return *midi;
        });
        form.show();
        return application.exec();
    } catch (const std::exception& e) {
        korv::controls::Dialogs::instance().showError(nullptr, QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
