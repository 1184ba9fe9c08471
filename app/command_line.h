// The program's arguments: `quarry [FILE]`, and --help and --version in the
// usual form, which need no display.
#pragma once

#include <optional>
#include <string>

namespace quarry {

// Answers --help and --version (or a wrong use of them) and ends the program;
// returns when neither is asked for. Runs before the application object, so a
// machine without a display answers too.
void answerHelpAndVersion(int argc, char** argv);
// After the application object has taken Qt's own options out of argv: ends
// the program with a message on wrong usage, and answers the item file named,
// as the bytes the file system has, or nothing.
std::optional<std::string> itemFileArgument(int argc, char** argv);

} // namespace quarry
