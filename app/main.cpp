// quarry: the desktop browser for a parsed item database. `quarry FILE`
// imports FILE as soon as the window is up; without it the window starts empty.
// `quarry --help` and `quarry --version` answer without a window.
#include "app/command_line.h"
#include "app/quarry.h"
#include "platform/process_heap.h"

int main(int argc, char** argv) {
    using namespace quarry;
    useLargeHeapPages();
    answerHelpAndVersion(argc, argv);
    cQuarry app(argc, argv);
    const std::optional<std::string> file = itemFileArgument(argc, argv);
    if (!app.InitInstance()) return 1;
    app.handleQuitSignals();
    if (file) app.requestImport(*file);
    return cQuarry::exec();
}
