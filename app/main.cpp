// quarry: the desktop browser for a parsed item database. `quarry FILE`
// imports FILE as soon as the window is up; without it the window starts empty.
#include "app/quarry.h"

#include <QFile>
#include <QTimer>

int main(int argc, char** argv) {
    using namespace quarry;
    cQuarry app(argc, argv);
    if (!app.InitInstance()) return 1;
    app.handleQuitSignals();
    const QStringList arguments = cQuarry::arguments();
    if (arguments.size() > 1) {
        const QByteArray path = QFile::encodeName(arguments.at(1));
        QTimer::singleShot(0, &app, [&app, path] {
            app.scanItemFile(std::string(path.constData(), static_cast<std::size_t>(path.size())));
        });
    }
    return cQuarry::exec();
}
