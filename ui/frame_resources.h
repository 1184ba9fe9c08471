// The frame's resources as C++ tables: command identifiers, the main menu, the
// accelerators and the program's strings (a prompt, then "\n" and a tooltip).
#pragma once

#include "controls/menu_bar.h"

#include <QKeySequence>
#include <QString>

#include <vector>

namespace quarry {

// Command identifiers, kept with their classic numeric values.
enum eCommand : int {
    cmdImport = 130,
    cmdExport = 131,
    cmdBack = 140,
    cmdForward = 141,
    cmdAddToCompare = 142,
    cmdViewCompare = 143,
    cmdFindMentions = 144,
    cmdClearCache = 145,
    cmdSearch = 32773,
    cmdEditCopy = 57634,
    cmdEditCut = 57635,
    cmdEditFind = 57636,
    cmdEditPaste = 57637,
    cmdEditUndo = 57643,
    cmdAppAbout = 57664,
    cmdAppExit = 57665,
    cmdRecentFiles = 57616,
    cmdNextPane = 57680,
    cmdPrevPane = 57681,
    cmdViewToolbar = 59392,
    cmdViewStatusBar = 59393,
};

// Window identifiers of the frame's pieces.
enum eWindowId : int {
    idItemIdBox = 105,
    idTreeBar = 102,
    idItemTree = 103,
    idFindBar = 104,
    idCompareBar = 106,
};

struct cAccelerator {
    QKeySequence keys;
    int command;
};

// The translators' contexts of the tables' texts. The tables hold the texts
// as written; they are translated where they are used.
inline constexpr const char* kMenuContext = "menu";
inline constexpr const char* kStringContext = "strings";

// The main menu: "&File" (with the "Recent Files" submenu and "Clear Cache"), "&Edit", "&View"
// (with the "Go To" submenu, then the compare list's commands), "&Help".
const std::vector<CMenuItem>& kMainMenu();
// The same in the user's language.
std::vector<CMenuItem> mainMenu();
// Every accelerator, in table order.
const std::vector<cAccelerator>& kAccelerators();
// The string of a command, translated: status-bar prompt, then "\n" and the
// tooltip; the frame's title under 128. Empty for an unknown identifier.
QString loadString(int id);
// A text of the frame's in the user's language (kStringContext).
QString frameText(const char* source);
// The prompt part (before "\n") and the tooltip part (after it) of a string.
QString promptOf(const QString& text);
QString tooltipOf(const QString& text);

inline const char* const kItemIdBandLabel = QT_TRANSLATE_NOOP("strings", "Item ID");
inline const char* const kItemIdBoxLabel = QT_TRANSLATE_NOOP("strings", "&Item ID");
inline const char* const kTreeBarTitle = QT_TRANSLATE_NOOP("strings", "Items");
inline const char* const kFindBarTitle = QT_TRANSLATE_NOOP("strings", "Find");
inline const char* const kCompareBarTitle = QT_TRANSLATE_NOOP("strings", "Compare");

} // namespace quarry
