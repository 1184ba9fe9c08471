#include "app/command_line.h"

#include "app/quarry.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace quarry {

namespace {

const char* const kContext = "command line";

void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(QCoreApplication::translate(
        kContext, "Browses an item database file of an online role-playing game: a category "
                  "tree of every item, and a report of the item chosen."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QCoreApplication::translate(kContext, "The item file to import at start."),
        QStringLiteral("[file]"));
}

bool isOptionsEnd(const char* argument) {
    return std::strcmp(argument, "--") == 0;
}

bool isOption(const char* argument) {
    return argument[0] == '-' && argument[1] != '\0';
}

} // namespace

void answerHelpAndVersion(int argc, char** argv) {
    const char* const asking[] = {"-h", "-?", "--help", "--help-all", "-v", "--version"};
    bool asked = false;
    for (int i = 1; i < argc && !isOptionsEnd(argv[i]); ++i)
        for (const char* option : asking)
            asked = asked || std::strcmp(argv[i], option) == 0;
    if (!asked) return;
    QCoreApplication probe(argc, argv);
    cQuarry::describeProgram();
    QCommandLineParser parser;
    describe(parser);
    parser.process(probe); // prints and ends the program
}

std::optional<std::string> itemFileArgument(int argc, char** argv) {
    QCommandLineParser parser;
    describe(parser);
    parser.process(QCoreApplication::arguments()); // ends the program on an unknown option
    if (parser.positionalArguments().size() > 1) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QCoreApplication::translate(kContext, "Only one item file can be "
                                                                      "named.")));
        parser.showHelp(1);
    }
    if (parser.positionalArguments().isEmpty()) return std::nullopt;
    // The name as given, not decoded into text and back.
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        if (options && isOptionsEnd(argv[i]))
            options = false;
        else if (!options || !isOption(argv[i]))
            return std::string(argv[i]);
    }
    return std::nullopt;
}

} // namespace quarry
