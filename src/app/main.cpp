// korvanettesim: the on-screen Korvanette and its settings editor.
#include "KorvApplication.h"
#include "TForm1.h"

#include "Dialogs.h"
#include "MidiSystem.h"

#include <exception>

int main(int argc, char** argv) {
    korv::app::KorvApplication app(argc, argv);
    try {
        auto midi = korv::midi::MidiSystem::createDefault();
        korv::app::TForm1 form(*midi);
        form.show();
        return app.exec();
    } catch (const std::exception& e) {
        korv::controls::Dialogs::instance().showError(nullptr, QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
