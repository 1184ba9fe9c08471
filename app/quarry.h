// The application object: one instance for the whole run. It holds the item
// store and Find's name index, the identifier pattern, the navigation history
// and the files imported last, starts the program by building and showing the
// main frame, carries out Import, Export, Back, Forward and About, and is the
// one gate every request to show an item passes: showItem.
//
// It owns the one import and the one export that may run, and the one busy
// state: while either runs, window events are still dispatched, so any
// command may arrive; Import, Recent Files, a dropped file and Export are
// then refused, everything else runs.
#pragma once

#include "app/export_command.h"
#include "app/navigation_history.h"
#include "app/recent_files.h"
#include "pattern/pattern.h"
#include "search/query_index.h"
#include "store/item_store.h"

#include <QApplication>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quarry {

class cMainframe;

class cQuarry : public QApplication {
    Q_OBJECT
public:
    cQuarry(int& argc, char** argv);
    ~cQuarry() override;

    // The one application object, or null when none (or another kind) runs.
    static cQuarry* instance();
    // Gives the running application object its name, version and the
    // organization its settings are filed under.
    static void describeProgram();

    // Builds and shows the main frame and compiles the identifier pattern.
    // On failure it tells the user why in a message box, leaves no window
    // and answers false; the program then ends.
    bool InitInstance();
    // The same with the identifier pattern given (tests use a broken one).
    bool initInstance(const char* identifierPattern);

    // Shows the item, selects its node in the tree (none when it is filed
    // nowhere) and records the step, with that node, in the history.
    void showItem(ZRID zrid);
    // Imports a file: scans it, then rebuilds the tree and Find's index, and
    // says in the status bar how many items it indexed and filed; the title
    // then names the file. A file that cannot be read is reported and changes
    // nothing. A file with no item that loads is reported too, and the report
    // and history are cleared. False when nothing was imported, another
    // import or an export runs, or the window was closed meanwhile (the
    // import then stops early).
    bool scanItemFile(const std::string& path);
    // Imports the file once the event loop is back: the command that asked
    // for it (a menu entry, a drop) finishes its own event handling first.
    void requestImport(const std::string& path);
    // SIGTERM and SIGINT close the main window as the user does, so the
    // program ends cleanly even during an import (see cQuitSignals).
    void handleQuitSignals();

    // Writes the imported items to the target's file (File > Export... once
    // the user has chosen it). False when nothing was written.
    bool exportTo(const cExportTarget& target);

    // The compare list: the items join it loaded, as many as it takes; an item
    // that does not load or does not fit is named in the status bar. No
    // identifiers stand for the item shown.
    void addToCompare(const std::vector<ZRID>& zrids);
    // Find runs the query for the items that mention the item shown.
    void onFindMentions();
    // The item shown last (by showItem, Back or Forward), when any.
    std::optional<ZRID> shownItem() const;

    // Commands.
    void onImport();
    void onExport();
    void onClearCache();
    void onBack();
    void onForward();
    void onAppAbout();
    // Enable rules, applied to the frame's actions: Back and Forward by the
    // history; Import and Recent Files while nothing runs; Export once an
    // import has read a whole file, while nothing runs.
    void onUpdateBack();
    void onUpdateForward();
    void onUpdateImport();
    void onUpdateExport();

    // What runs now; commands that would start work run only when idle.
    enum class eActivity { idle, importing, exporting };
    eActivity activity() const { return activity_; }

    cMainframe* mainFrame() const { return frame_.get(); }
    cItemStore& store() { return store_; }
    const cNavigationHistory& history() const { return history_; }
    const cRecentFiles& recentFiles() const { return recentFiles_; }
    const cQueryIndex& names() const { return names_; }

private:
    void loadTranslations();
    void failStart(const QString& caption, const QString& text);
    // Adds or drops a file of Recent Files, in the frame and the settings store.
    void noteRecentFile(const std::string& path, bool imported);
    void onCommand(int command);
    // Every enable rule at once, when what runs changes.
    void setActivity(eActivity activity);
    void reportImportFailure(const std::string& path, const cImportResult& result);
    void reportNoItems(const std::string& path, bool tagsMisplaced);
    QString importedText(const std::string& path, const cImportResult& result) const;
    // After an import, the compare list keeps the items that still load,
    // loaded again; the text names the others (empty when none left).
    QString reloadCompareList();

    cItemStore store_;
    cQueryIndex names_; // before the frame, whose Find pane reads it
    cPattern identifierPattern_;
    cNavigationHistory history_;
    cRecentFiles recentFiles_;
    bool imported_ = false; // the last import read the whole file
    eActivity activity_ = eActivity::idle;
    std::unique_ptr<cMainframe> frame_;
};

} // namespace quarry
