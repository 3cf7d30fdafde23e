#include "CommandLine.h"

#include "PresetsFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace korv::app {

namespace {

const QString PresetsFileOption = QStringLiteral("presets-file");

struct Parsed {
    std::unique_ptr<QCommandLineParser> parser;
    bool ok;
    bool help;
    bool version;
    bool presetsFile;
};

Parsed Parse(const QStringList& arguments) {
    auto owned = std::make_unique<QCommandLineParser>();
    QCommandLineParser& parser = *owned;
    parser.setApplicationDescription(
        QStringLiteral("The Korvanette MIDI controller on screen, and an editor of its "
                       "settings memory."));
    // Not addHelpOption(): its --help-all promises Qt's options, which are left to the manual
    // page here.
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")},
                      QStringLiteral("Show these options and exit.")});
    parser.addOption({{QStringLiteral("v"), QStringLiteral("version")},
                      QStringLiteral("Show the version and exit.")});
    parser.addOption(
        {PresetsFileOption, QStringLiteral("Print the path of the presets file the program reads, "
                                           "and exit.")});
    const bool ok = parser.parse(arguments);
    // Options are recognised even when another argument is in error.
    return {std::move(owned), ok, parser.isSet(QStringLiteral("help")),
            parser.isSet(QStringLiteral("version")), parser.isSet(PresetsFileOption)};
}

QString NoPresetsFileText(const QString& programDir) {
    QString text = QStringLiteral("No presets file found; looked for:\n");
    for (const QString& path : PresetsFileCandidates(programDir))
        text += QStringLiteral("  ") + path + QLatin1Char('\n');
    return text;
}

} // namespace

QStringList ArgumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

bool AsksForTerminal(const QStringList& arguments) {
    const Parsed p = Parse(arguments);
    return p.help || p.version || p.presetsFile;
}

std::optional<CommandLineAnswer> AnswerCommandLine(const QStringList& arguments,
                                                   const QString& programDir) {
    const Parsed p = Parse(arguments);
    const QString program = QCoreApplication::applicationName();
    if (!p.ok) {
        return CommandLineAnswer{2,
                                 {},
                                 program + QStringLiteral(": ") + p.parser->errorText() +
                                     QStringLiteral("\nTry '") + program +
                                     QStringLiteral(" --help' for the options.\n")};
    }
    if (!p.parser->positionalArguments().isEmpty()) {
        return CommandLineAnswer{
            2,
            {},
            program + QStringLiteral(": unexpected argument '") +
                p.parser->positionalArguments().constFirst() +
                QStringLiteral("'; open settings files from the program's File page.\n")};
    }
    if (p.help)
        return CommandLineAnswer{0, p.parser->helpText(), {}};
    if (p.version) {
        return CommandLineAnswer{0,
                                 QCoreApplication::applicationName() + QLatin1Char(' ') +
                                     QCoreApplication::applicationVersion() + QLatin1Char('\n'),
                                 {}};
    }
    if (p.presetsFile) {
        const QString path = FindPresetsFile(programDir);
        if (path.isEmpty())
            return CommandLineAnswer{1, {}, NoPresetsFileText(programDir)};
        return CommandLineAnswer{0, path + QLatin1Char('\n'), {}};
    }
    return std::nullopt;
}

int Print(const CommandLineAnswer& answer) {
    std::fputs(answer.out.toLocal8Bit().constData(), stdout);
    std::fputs(answer.err.toLocal8Bit().constData(), stderr);
    return answer.exitCode;
}

} // namespace korv::app
