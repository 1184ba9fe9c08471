// quarry: the desktop browser for a parsed item database. `quarry FILE`
// imports FILE as soon as the window is up; without it the window starts empty.
#include "app/quarry.h"

#include <QTimer>

#include <string>

int main(int argc, char** argv) {
    using namespace quarry;
    cQuarry app(argc, argv);
    if (!app.InitInstance()) return 1;
    // The file's name as its bytes: Qt has taken its own options out of argv,
    // and its text form of the rest may not turn back into the same bytes.
    if (argc > 1) {
        const std::string path = argv[1];
        QTimer::singleShot(0, &app, [&app, path] { app.scanItemFile(path); });
    }
    return cQuarry::exec();
}
