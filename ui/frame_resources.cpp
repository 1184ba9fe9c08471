#include "ui/frame_resources.h"

#include <map>

namespace quarry {

const std::vector<CMenuItem>& kMainMenu() {
    static const std::vector<CMenuItem> menu = {
        {"&File", 0, {{"&Import...", cmdImport, {}}, {"", 0, {}}, {"E&xit", cmdAppExit, {}}}},
        {"&Edit",
         0,
         {{"&Undo\tCtrl+Z", cmdEditUndo, {}},
          {"", 0, {}},
          {"Cu&t\tCtrl+X", cmdEditCut, {}},
          {"&Copy\tCtrl+C", cmdEditCopy, {}},
          {"&Paste\tCtrl+V", cmdEditPaste, {}},
          {"", 0, {}},
          {"&Find...\tCtrl+F", cmdEditFind, {}}}},
        {"&View",
         0,
         {{"&Toolbar", cmdViewToolbar, {}},
          {"&Status Bar", cmdViewStatusBar, {}},
          {"", 0, {}},
          {"Go To", 0, {{"Back", cmdBack, {}}, {"Forward", cmdForward, {}}}}}},
        {"&Help", 0, {{"&About quarry...", cmdAppAbout, {}}}},
    };
    return menu;
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
    };
    return table;
}

QString loadString(int id) {
    static const std::map<int, QString> strings = {
        {101, "Idle"},
        {128, "quarry"},
        {cmdImport, "Import content of selected file\nImport"},
        {cmdBack, "Goes to the previous page.\nBack"},
        {cmdForward, "Goes to the next page.\nForward"},
        {32771, "Back"},
        {32772, "Forward"},
        {cmdSearch, "Search"},
        {57344, "quarry"},
        // Prompts of the commands the frame serves itself.
        {cmdAppExit, "Closes the window and ends the program.\nExit"},
        {cmdAppAbout, "Shows the program's name and version.\nAbout"},
        {cmdEditUndo, "Takes back the last change to the report.\nUndo"},
        {cmdEditCut, "Moves the selected text to the clipboard.\nCut"},
        {cmdEditCopy, "Copies the selected text to the clipboard.\nCopy"},
        {cmdEditPaste, "Inserts the clipboard's text.\nPaste"},
        {cmdViewToolbar, "Shows or hides the toolbar.\nToolbar"},
        {cmdViewStatusBar, "Shows or hides the status bar.\nStatus Bar"},
        {cmdEditFind, "Finds items by name.\nFind"},
    };
    const auto found = strings.find(id);
    return found == strings.end() ? QString() : found->second;
}

QString promptOf(const QString& text) {
    return text.section(QLatin1Char('\n'), 0, 0);
}

QString tooltipOf(const QString& text) {
    const qsizetype newline = text.indexOf(QLatin1Char('\n'));
    return newline < 0 ? QString() : text.mid(newline + 1);
}

} // namespace quarry
