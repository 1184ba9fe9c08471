// The main menu as a menu bar that sits in a band of its own at the top of the
// frame. It is built from a menu table; Qt's menu bar does the tracking (Alt,
// Alt+letter, arrows between popups, sliding the mouse along an open bar,
// Escape), and the platform style draws entries, check marks and colours.
#pragma once

#include <QMenuBar>
#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

class QAction;

namespace quarry {

// One entry of a menu table: a popup (children not empty), a separator (text
// empty and command 0), or a command. The text keeps its "&" mnemonic marker
// and may carry "\t" followed by the accelerator text to show.
struct CMenuItem {
    QString text;
    int command = 0;
    std::vector<CMenuItem> children;
};

class CMenuBar : public QMenuBar {
    Q_OBJECT
public:
    explicit CMenuBar(QWidget* parent = nullptr);

    // Replaces the bar's content with the table's popups. Each command entry
    // gets the action `actionFor` answers for its command ID, or a new action
    // of the bar's own (whose triggered signal reaches commandTriggered) when
    // it answers null. False for a table without popups.
    bool LoadMenuBar(const std::vector<CMenuItem>& menu,
                     const std::function<QAction*(int)>& actionFor);

    int itemCount() const { return itemCount_; }
    // The popup of top-level item `index`, or null.
    QMenu* popup(int index) const;
    // Opens the popup whose mnemonic (the letter after the first "&") equals
    // `key`, compared without regard to case; false when none has it.
    bool OpenByMnemonic(QChar key);
    // The mnemonic of a menu text, or a null character when it has none.
    static QChar mnemonicOf(const QString& text);
    // Alt pressed and released alone in the bar's window: the bar takes the
    // keyboard with its first item highlighted, or, when it has the keyboard
    // already, gives it back to the widget that had it.
    void OnKeyMenu();

signals:
    // A command entry without an action of the owner's was chosen.
    void commandTriggered(int command);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void HotTrackItem(int index);
    void addEntries(QMenu* menu, const std::vector<CMenuItem>& entries,
                    const std::function<QAction*(int)>& actionFor);

    int itemCount_ = 0;
    bool altAlone_ = false; // Alt is down and nothing else happened since
    bool hadKeyboardAtAlt_ = false;
    QPointer<QWidget> previousFocus_;
};

} // namespace quarry
