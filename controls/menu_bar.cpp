#include "controls/menu_bar.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace quarry {

namespace {

// Pressing and releasing Alt alone puts the bar into keyboard mode with its
// first item highlighted, whatever the platform style's own habit; the item
// the keyboard is on is drawn as active (some styles, Fusion among them, draw
// only an open item so), so the user sees where the keyboard is.
class cAltNavigationStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_MenuBar_AltKeyNavigation) return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuBarItem && item && (item->state & State_Selected) && widget &&
            widget->hasFocus()) {
            QStyleOptionMenuItem active = *item;
            active.state |= State_Sunken;
            QProxyStyle::drawControl(element, &active, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

} // namespace

CMenuBar::CMenuBar(QWidget* parent) : QMenuBar(parent) {
    setObjectName(QStringLiteral("menuBar"));
    // The bar lives in the frame's band, not in a desktop-wide menu.
    setNativeMenuBar(false);
    auto* style = new cAltNavigationStyle;
    style->setParent(this);
    setStyle(style);
    qApp->installEventFilter(this);
}

bool CMenuBar::LoadMenuBar(const std::vector<CMenuItem>& menu,
                           const std::function<QAction*(int)>& actionFor) {
    clear();
    itemCount_ = 0;
    for (const CMenuItem& item : menu) {
        if (item.children.empty()) continue;
        QMenu* popupMenu = addMenu(item.text);
        addEntries(popupMenu, item.children, actionFor);
        ++itemCount_;
    }
    return itemCount_ > 0;
}

void CMenuBar::addEntries(QMenu* menu, const std::vector<CMenuItem>& entries,
                          const std::function<QAction*(int)>& actionFor) {
    for (const CMenuItem& entry : entries) {
        if (!entry.children.empty()) {
            addEntries(menu->addMenu(entry.text), entry.children, actionFor);
        } else if (entry.text.isEmpty() && entry.command == 0) {
            menu->addSeparator();
        } else if (QAction* action = actionFor ? actionFor(entry.command) : nullptr) {
            menu->addAction(action);
        } else {
            const int command = entry.command;
            QAction* own = menu->addAction(entry.text);
            connect(own, &QAction::triggered, this,
                    [this, command] { emit commandTriggered(command); });
        }
    }
}

QMenu* CMenuBar::popup(int index) const {
    int seen = 0;
    for (QAction* action : actions()) {
        if (!action->menu()) continue;
        if (seen++ == index) return action->menu();
    }
    return nullptr;
}

QChar CMenuBar::mnemonicOf(const QString& text) {
    const qsizetype marker = text.indexOf(QLatin1Char('&'));
    if (marker < 0 || marker + 1 >= text.size()) return QChar();
    return text.at(marker + 1);
}

bool CMenuBar::OpenByMnemonic(QChar key) {
    if (key.isNull()) return false;
    for (QAction* action : actions()) {
        if (!action->menu()) continue;
        const QChar mnemonic = mnemonicOf(action->text());
        if (!mnemonic.isNull() && mnemonic.toCaseFolded() == key.toCaseFolded()) {
            setActiveAction(action);
            return true;
        }
    }
    return false;
}

bool CMenuBar::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    // A key a shortcut takes (Alt+Left, a label's Alt+letter) comes as a
    // shortcut override alone, never as a key press.
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease &&
        type != QEvent::MouseButtonPress && type != QEvent::ShortcutOverride)
        return QMenuBar::eventFilter(watched, event);
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || target->window() != window() || !isVisible())
        return QMenuBar::eventFilter(watched, event);
    const auto* key = type == QEvent::MouseButtonPress ? nullptr : static_cast<QKeyEvent*>(event);
    const bool isAlt = key && key->key() == Qt::Key_Alt && !key->isAutoRepeat();
    if (type == QEvent::KeyPress && isAlt) {
        if (!altAlone_) hadKeyboardAtAlt_ = hasFocus();
        altAlone_ = true;
    } else if (type == QEvent::KeyRelease && isAlt) {
        if (altAlone_) {
            altAlone_ = false;
            OnKeyMenu();
        }
    } else if (type != QEvent::KeyRelease && !isAlt) {
        altAlone_ = false; // Alt+key or a click: not Alt alone
    }
    return QMenuBar::eventFilter(watched, event);
}

void CMenuBar::OnKeyMenu() {
    if (hadKeyboardAtAlt_) {
        HotTrackItem(-1);
    } else if (!activeAction()) { // the platform may have done it already
        HotTrackItem(0);
    }
}

void CMenuBar::HotTrackItem(int index) {
    if (index < 0) {
        setActiveAction(nullptr);
        QPointer<QWidget> previous = previousFocus_;
        previousFocus_ = nullptr;
        if (previous)
            previous->setFocus(Qt::MenuBarFocusReason);
        else if (hasFocus())
            clearFocus();
        return;
    }
    const QList<QAction*> items = actions();
    if (index >= items.size()) return;
    QWidget* focus = QApplication::focusWidget();
    if (focus != this) previousFocus_ = focus;
    setFocus(Qt::MenuBarFocusReason);
    // Highlighting an item without opening it is what the pointer does when
    // it rests on the bar; the arrow keys, Enter and Escape then work from it.
    const QPointF at = QPointF(actionGeometry(items[index]).center());
    QMouseEvent hover(QEvent::MouseMove, at, mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(this, &hover);
}

void CMenuBar::focusOutEvent(QFocusEvent* event) {
    QMenuBar::focusOutEvent(event);
    if (!activeAction()) previousFocus_ = nullptr;
}

} // namespace quarry
