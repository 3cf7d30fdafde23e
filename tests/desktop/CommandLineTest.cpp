// What the program answers on the terminal: help, version, the presets file in use, and
// refusals of arguments it does not know.
#include "CommandLine.h"

#include "TempDataFolders.h"

#include <QStringList>

#include <gtest/gtest.h>

using korv::app::AnswerCommandLine;
using korv::app::AsksForTerminal;

namespace {

class CommandLineTest : public korv::test::TempDataFolders {
protected:
    std::optional<korv::app::CommandLineAnswer> answer(const QStringList& options) {
        return AnswerCommandLine(QStringList{"korvanettesim"} + options, root + "/bin");
    }
};

TEST_F(CommandLineTest, VersionIsTheProjectsOnStandardOutput) {
    for (const char* option : {"--version", "-v"}) {
        const auto a = answer({option});
        ASSERT_TRUE(a) << option;
        EXPECT_EQ(a->exitCode, 0);
        EXPECT_EQ(a->out, "korvanettesim 1.4\n");
        EXPECT_EQ(a->err, "");
    }
}

TEST_F(CommandLineTest, HelpListsEveryOption) {
    for (const char* option : {"--help", "-h"}) {
        const auto a = answer({option});
        ASSERT_TRUE(a) << option;
        EXPECT_EQ(a->exitCode, 0);
        for (const char* listed :
             {"The Korvanette MIDI controller on screen, and an editor of its settings memory.\n",
              "-h, --help      Show these options and exit.\n",
              "-v, --version   Show the version and exit.\n",
              "--presets-file  Print the path of the presets file the program reads, and\n"})
            EXPECT_TRUE(a->out.contains(listed)) << listed << " in " << a->out.toStdString();
        EXPECT_EQ(a->err, "");
    }
}

TEST_F(CommandLineTest, PresetsFileOptionPrintsThePathThatIsRead) {
    write("bin/korvttpresets.ini");
    const auto a = answer({"--presets-file"});
    ASSERT_TRUE(a);
    EXPECT_EQ(a->exitCode, 0);
    EXPECT_EQ(a->out, root + "/bin/korvttpresets.ini\n");
}

TEST_F(CommandLineTest, PresetsFileOptionWithoutAFileSaysWhereItLookedAndFails) {
    const auto a = answer({"--presets-file"});
    ASSERT_TRUE(a);
    EXPECT_EQ(a->exitCode, 1);
    EXPECT_EQ(a->out, "");
    EXPECT_EQ(a->err, "No presets file found; looked for:\n"
                      "  " +
                          root +
                          "/bin/korvttpresets.ini\n"
                          "  " +
                          root +
                          "/home/.local/share/korvanettesim/korvttpresets.ini\n"
                          "  " +
                          root +
                          "/share/korvanettesim/korvttpresets.ini\n"
                          "  " +
                          root +
                          "/sys1/korvanettesim/korvttpresets.ini\n"
                          "  " +
                          root + "/sys2/korvanettesim/korvttpresets.ini\n");
}

TEST_F(CommandLineTest, ArgumentsAreTakenOneForOneWithEmptyOnesKept) {
    char program[] = "korvanettesim";
    char option[] = "--presets-file";
    char nothing[] = "";
    char* argv[] = {program, option, nothing, nullptr};
    EXPECT_EQ(korv::app::ArgumentsOf(3, argv),
              QStringList({"korvanettesim", "--presets-file", ""}));
}

TEST_F(CommandLineTest, WithoutOptionsTheWindowsStart) {
    EXPECT_FALSE(AsksForTerminal({"korvanettesim"}));
    EXPECT_FALSE(answer({}));
}

TEST_F(CommandLineTest, OnlyTheTerminalOptionsAskForTheTerminal) {
    for (const char* option : {"--help", "-h", "--version", "-v", "--presets-file"})
        EXPECT_TRUE(AsksForTerminal({"korvanettesim", option})) << option;
    // Unknown options go to the windows' path, where Qt takes its own first.
    EXPECT_FALSE(AsksForTerminal({"korvanettesim", "--bogus"}));
    EXPECT_FALSE(AsksForTerminal({"korvanettesim", "file.syx"}));
    EXPECT_TRUE(AsksForTerminal({"korvanettesim", "--bogus", "--version"}));
}

TEST_F(CommandLineTest, UnknownOptionIsRefusedWithAUsageError) {
    for (const QStringList& options :
         {QStringList{"--bogus"}, QStringList{"--bogus", "--version"}}) {
        const auto a = answer(options);
        ASSERT_TRUE(a);
        EXPECT_EQ(a->exitCode, 2);
        EXPECT_EQ(a->out, "");
        EXPECT_EQ(a->err, "korvanettesim: Unknown option 'bogus'.\n"
                          "Try 'korvanettesim --help' for the options.\n");
    }
}

TEST_F(CommandLineTest, FileArgumentIsRefusedRatherThanIgnored) {
    const auto a = answer({"settings.syx"});
    ASSERT_TRUE(a);
    EXPECT_EQ(a->exitCode, 2);
    EXPECT_EQ(a->err, "korvanettesim: unexpected argument 'settings.syx'; open settings files "
                      "from the program's File page.\n");
}

} // namespace
