#include "controls/menu_bar.h"

#include <QAction>
#include <QMenu>

CMenuBar::CMenuBar(QWidget* parent) : QMenuBar(parent) {
    setObjectName(QStringLiteral("menuBar"));
    // The bar lives in the frame's band, not in a desktop-wide menu.
    setNativeMenuBar(false);
}

bool CMenuBar::LoadMenuBar(const std::vector<CMenuItem>& menu, const std::function<QAction*(int)>& actionFor) {
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
            connect(own, &QAction::triggered, this, [this, command] { emit commandTriggered(command); });
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
