// The program's command line: --help, --version and --presets-file are answered on the terminal
// without a display, a window or MIDI; anything else that Qt did not take is refused.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace korv::app {

struct CommandLineAnswer {
    int exitCode = 0;
    QString out; // for standard output
    QString err; // for standard error
};

QStringList ArgumentsOf(int argc, char** argv);

// True when the arguments (the program first) ask for a terminal answer; the caller then needs
// only a QCoreApplication to get it.
bool AsksForTerminal(const QStringList& arguments);

// What to print and the exit code, or nothing when the windows should start. programDir is
// where the presets file lookup starts. Needs an application object (for the usage line).
std::optional<CommandLineAnswer> AnswerCommandLine(const QStringList& arguments,
                                                   const QString& programDir);

// Prints the answer and returns its exit code.
int Print(const CommandLineAnswer& answer);

} // namespace korv::app
