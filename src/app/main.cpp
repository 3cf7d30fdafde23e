// korvanettesim: the on-screen Korvanette and its settings editor.
#include "BuildStamp.h"
#include "CommandLine.h"
#include "KorvApplication.h"
#include "TForm1.h"

#include "Dialogs.h"
#include "MidiSystem.h"

#include <QCoreApplication>

#include <exception>

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

    app::KorvApplication application(argc, argv);
    // Qt has taken its own options (-platform, -style...); anything left over is refused.
    if (const auto answer =
            app::AnswerCommandLine(application.arguments(), QCoreApplication::applicationDirPath()))
        return app::Print(*answer);
    try {
        auto midi = korv::midi::MidiSystem::createDefault();
        app::TForm1 form(*midi);
        form.show();
        return application.exec();
    } catch (const std::exception& e) {
        korv::controls::Dialogs::instance().showError(nullptr, QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
