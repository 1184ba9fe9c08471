// The application object: one instance for the whole run. It holds the item
// store, the identifier pattern and the navigation history, starts the
// program by building and showing the main frame, carries out Import, Back,
// Forward and About, and is the one gate every request to show an item
// passes: showItem.
#pragma once

#include "app/navigation_history.h"
#include "pattern/pattern.h"
#include "store/item_store.h"

#include <QApplication>
#include <QString>

#include <memory>
#include <string>

namespace quarry {

class cMainframe;

class cQuarry : public QApplication {
    Q_OBJECT
public:
    cQuarry(int& argc, char** argv);
    ~cQuarry() override;

    // The one application object, or null when none (or another kind) runs.
    static cQuarry* instance();

    // Builds and shows the main frame and compiles the identifier pattern.
    // On failure it tells the user why in a message box, leaves no window
    // and answers false; the program then ends.
    bool InitInstance();
    // The same with the identifier pattern given (tests use a broken one).
    bool initInstance(const char* identifierPattern);

    // Shows the item and records the step in the history.
    void showItem(ZRID zrid);
    // Imports a file: scans it, then rebuilds the tree. A file that cannot be
    // read is reported and changes nothing. False when nothing was imported.
    bool scanItemFile(const std::string& path);

    // Commands.
    void onImport();
    void onBack();
    void onForward();
    void onAppAbout();
    // Enable rules of Back and Forward, applied to the frame's actions.
    void onUpdateBack();
    void onUpdateForward();

    cMainframe* mainFrame() const { return frame_.get(); }
    cItemStore& store() { return store_; }
    const cNavigationHistory& history() const { return history_; }

private:
    void failStart(const QString& caption, const QString& text);
    void onCommand(int command);

    cItemStore store_;
    cPattern identifierPattern_;
    cNavigationHistory history_;
    std::unique_ptr<cMainframe> frame_;
};

} // namespace quarry
