#include "ui/compare_pane.h"

#include "ui/compare_model.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace quarry {

namespace {

// Room for a value of about twenty characters per item.
constexpr int kColumnCharacters = 22;

} // namespace

cComparePane::cComparePane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("comparePane"));

    differencesOnly_ = new QCheckBox(tr("&Differences only"), this);
    differencesOnly_->setObjectName(QStringLiteral("compareDifferencesOnly"));
    remove_ = new QPushButton(tr("&Remove"), this);
    remove_->setObjectName(QStringLiteral("compareRemove"));
    remove_->setToolTip(tr("Takes the item of the current column off the list"));
    clear_ = new QPushButton(tr("C&lear"), this);
    clear_->setObjectName(QStringLiteral("compareClear"));
    emptyLine_ = new QLabel(tr("Add items with Add to Compare (Ctrl+D) on a report or on Find's "
                               "results; up to %1.")
                                .arg(cCompareList::kMaxItems),
                            this);
    emptyLine_->setWordWrap(true);

    model_ = new cCompareModel(list_, this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("compareTable"));
    table_->setModel(model_);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    // Fixed row heights and column widths: the view never measures rows it
    // does not show, however many members the items have.
    QHeaderView* rows = table_->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);
    QHeaderView* columns = table_->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setDefaultSectionSize(kColumnCharacters * fontMetrics().averageCharWidth());
    columns->setSectionsClickable(true);
    columns->setContextMenuPolicy(Qt::CustomContextMenu);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(differencesOnly_);
    buttons->addStretch(1);
    buttons->addWidget(remove_);
    buttons->addWidget(clear_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(emptyLine_);
    layout->addWidget(table_, 1);

    connect(differencesOnly_, &QCheckBox::toggled, model_, &cCompareModel::setDifferencesOnly);
    connect(remove_, &QPushButton::clicked, this,
            [this] { removeColumn(table_->currentIndex().column()); });
    connect(clear_, &QPushButton::clicked, this, &cComparePane::clear);
    connect(columns, &QHeaderView::sectionClicked, this, [this](int column) {
        const QVariant zrid = model_->headerData(column, Qt::Horizontal, cCompareModel::kZridRole);
        if (zrid.isValid()) emit itemChosen(zrid.toInt());
    });
    connect(columns, &QWidget::customContextMenuRequested, this, &cComparePane::showHeaderMenu);
    listChanged();
}

cCompareList::eAdded cComparePane::add(cComparedItem item) {
    const cCompareList::eAdded added = list_.add(std::move(item));
    if (added == cCompareList::eAdded::added) listChanged();
    return added;
}

void cComparePane::replace(std::vector<cComparedItem> items) {
    list_.replace(std::move(items));
    listChanged();
}

void cComparePane::removeColumn(int column) {
    if (column < 0 || std::size_t(column) >= list_.items().size()) return;
    list_.remove(std::size_t(column));
    listChanged();
}

void cComparePane::clear() {
    list_.clear();
    listChanged();
}

void cComparePane::listChanged() {
    model_->reload();
    const bool empty = list_.items().empty();
    emptyLine_->setVisible(empty);
    remove_->setEnabled(!empty);
    clear_->setEnabled(!empty);
}

void cComparePane::showHeaderMenu(const QPoint& at) {
    const int column = table_->horizontalHeader()->logicalIndexAt(at);
    if (column < 0) return;
    QMenu menu(this);
    menu.addAction(tr("&Remove"), this, [this, column] { removeColumn(column); });
    menu.exec(table_->horizontalHeader()->mapToGlobal(at));
}

} // namespace quarry
