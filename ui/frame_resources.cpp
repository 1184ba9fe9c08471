#include "ui/frame_resources.h"

#include <QCoreApplication>

#include <map>

namespace quarry {

const std::vector<CMenuItem>& kMainMenu() {
    static const std::vector<CMenuItem> menu = {
        {QT_TRANSLATE_NOOP("menu", "&File"),
         0,
         {{QT_TRANSLATE_NOOP("menu", "&Import...\tCtrl+O"), cmdImport, {}},
          {QT_TRANSLATE_NOOP("menu", "&Export..."), cmdExport, {}},
          {QT_TRANSLATE_NOOP("menu", "Recent &Files"), cmdRecentFiles, {}},
          {QT_TRANSLATE_NOOP("menu", "C&lear Cache"), cmdClearCache, {}},
          {"", 0, {}},
          {QT_TRANSLATE_NOOP("menu", "E&xit"), cmdAppExit, {}}}},
        {QT_TRANSLATE_NOOP("menu", "&Edit"),
         0,
         {{QT_TRANSLATE_NOOP("menu", "&Undo\tCtrl+Z"), cmdEditUndo, {}},
          {"", 0, {}},
          {QT_TRANSLATE_NOOP("menu", "Cu&t\tCtrl+X"), cmdEditCut, {}},
          {QT_TRANSLATE_NOOP("menu", "&Copy\tCtrl+C"), cmdEditCopy, {}},
          {QT_TRANSLATE_NOOP("menu", "&Paste\tCtrl+V"), cmdEditPaste, {}},
          {"", 0, {}},
          {QT_TRANSLATE_NOOP("menu", "&Find...\tCtrl+F"), cmdEditFind, {}},
          {QT_TRANSLATE_NOOP("menu", "Find Items That &Mention This One"), cmdFindMentions, {}}}},
        {QT_TRANSLATE_NOOP("menu", "&View"),
         0,
         {{QT_TRANSLATE_NOOP("menu", "&Toolbar"), cmdViewToolbar, {}},
          {QT_TRANSLATE_NOOP("menu", "&Status Bar"), cmdViewStatusBar, {}},
          {"", 0, {}},
          {QT_TRANSLATE_NOOP("menu", "&Go To"),
           0,
           {{QT_TRANSLATE_NOOP("menu", "&Back\tAlt+Left"), cmdBack, {}},
            {QT_TRANSLATE_NOOP("menu", "&Forward\tAlt+Right"), cmdForward, {}}}},
          {"", 0, {}},
          {QT_TRANSLATE_NOOP("menu", "&Compare"), cmdViewCompare, {}},
          {QT_TRANSLATE_NOOP("menu", "&Add to Compare\tCtrl+D"), cmdAddToCompare, {}}}},
        {QT_TRANSLATE_NOOP("menu", "&Help"),
         0,
         {{QT_TRANSLATE_NOOP("menu", "&About quarry..."), cmdAppAbout, {}}}},
    };
    return menu;
}

namespace {

std::vector<CMenuItem> translated(const std::vector<CMenuItem>& items) {
    std::vector<CMenuItem> copy = items;
    for (CMenuItem& item : copy) {
        if (!item.text.isEmpty())
            item.text = QCoreApplication::translate(kMenuContext, item.text.toUtf8().constData());
        item.children = translated(item.children);
    }
    return copy;
}

} // namespace

std::vector<CMenuItem> mainMenu() {
    return translated(kMainMenu());
}

const std::vector<cAccelerator>& kAccelerators() {
    static const std::vector<cAccelerator> table = {
        {QKeySequence(Qt::CTRL | Qt::Key_C), cmdEditCopy},
        {QKeySequence(Qt::CTRL | Qt::Key_V), cmdEditPaste},
        {QKeySequence(Qt::ALT | Qt::Key_Backspace), cmdEditUndo},
        {QKeySequence(Qt::SHIFT | Qt::Key_Delete), cmdEditCut},
        {QKeySequence(Qt::Key_F6), cmdNextPane},
        {QKeySequence(Qt::SHIFT | Qt::Key_F6), cmdPrevPane},
        {QKeySequence(Qt::CTRL | Qt::Key_Insert), cmdEditCopy},
        {QKeySequence(Qt::SHIFT | Qt::Key_Insert), cmdEditPaste},
        {QKeySequence(Qt::CTRL | Qt::Key_X), cmdEditCut},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), cmdEditUndo},
        {QKeySequence(Qt::CTRL | Qt::Key_F), cmdEditFind},
        {QKeySequence(Qt::CTRL | Qt::Key_O), cmdImport},
        {QKeySequence(Qt::ALT | Qt::Key_Left), cmdBack},
        {QKeySequence(Qt::ALT | Qt::Key_Right), cmdForward},
        {QKeySequence(Qt::CTRL | Qt::Key_D), cmdAddToCompare},
    };
    return table;
}

QString loadString(int id) {
    static const std::map<int, const char*> strings = {
        {101, QT_TRANSLATE_NOOP("strings", "Idle")},
        {128, QT_TRANSLATE_NOOP("strings", "quarry")},
        {cmdImport, QT_TRANSLATE_NOOP("strings", "Import content of selected file\nImport")},
        {cmdExport,
         QT_TRANSLATE_NOOP(
             "strings",
             "Writes the imported items to a JSON lines file or a SQLite database.\nExport")},
        {cmdBack, QT_TRANSLATE_NOOP("strings", "Goes to the previous page.\nBack")},
        {cmdForward, QT_TRANSLATE_NOOP("strings", "Goes to the next page.\nForward")},
        {32771, QT_TRANSLATE_NOOP("strings", "Back")},
        {32772, QT_TRANSLATE_NOOP("strings", "Forward")},
        {cmdSearch, QT_TRANSLATE_NOOP("strings", "Search")},
        {57344, QT_TRANSLATE_NOOP("strings", "quarry")},
        // Prompts of the commands the frame serves itself.
        {cmdRecentFiles,
         QT_TRANSLATE_NOOP("strings",
                           "Imports one of the item files imported last.\nRecent Files")},
        {cmdClearCache,
         QT_TRANSLATE_NOOP("strings", "Removes what imports kept to reopen their files quickly; "
                                      "the next import of each file reads it whole.\nClear Cache")},
        {cmdAppExit, QT_TRANSLATE_NOOP("strings", "Closes the window and ends the program.\nExit")},
        {cmdAppAbout, QT_TRANSLATE_NOOP("strings", "Shows the program's name and version.\nAbout")},
        {cmdEditUndo,
         QT_TRANSLATE_NOOP("strings", "Takes back the last change to the report.\nUndo")},
        {cmdEditCut,
         QT_TRANSLATE_NOOP("strings", "Moves the selected text to the clipboard.\nCut")},
        {cmdEditCopy,
         QT_TRANSLATE_NOOP("strings", "Copies the selected text to the clipboard.\nCopy")},
        {cmdEditPaste, QT_TRANSLATE_NOOP("strings", "Inserts the clipboard's text.\nPaste")},
        {cmdViewToolbar, QT_TRANSLATE_NOOP("strings", "Shows or hides the toolbar.\nToolbar")},
        {cmdViewStatusBar,
         QT_TRANSLATE_NOOP("strings", "Shows or hides the status bar.\nStatus Bar")},
        {cmdEditFind, QT_TRANSLATE_NOOP("strings", "Finds items by name.\nFind")},
        {cmdViewCompare,
         QT_TRANSLATE_NOOP("strings", "Shows or hides the items on the compare list.\nCompare")},
        {cmdAddToCompare,
         QT_TRANSLATE_NOOP("strings", "Puts the shown item, or the items selected in Find, on "
                                      "the compare list.\nAdd to Compare")},
        {cmdFindMentions,
         QT_TRANSLATE_NOOP("strings", "Finds the items whose functions name the shown item.\n"
                                      "Find Mentions")},
    };
    const auto found = strings.find(id);
    return found == strings.end() ? QString() : frameText(found->second);
}

QString frameText(const char* source) {
    return QCoreApplication::translate(kStringContext, source);
}

QString promptOf(const QString& text) {
    return text.section(QLatin1Char('\n'), 0, 0);
}

QString tooltipOf(const QString& text) {
    const qsizetype newline = text.indexOf(QLatin1Char('\n'));
    return newline < 0 ? QString() : text.mid(newline + 1);
}

} // namespace quarry
