#include "ui/item_tree.h"

#include "ui/item_tree_model.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>

namespace quarry {

namespace {

// A typical item label, "Name of three words (QL 200)" (most are no longer),
// and the depth of the folders items are filed under.
constexpr int kTypicalLabelLength = 32;
constexpr int kItemDepth = 3;

struct cUserInput {
    explicit cUserInput(int& depth) : depth_(depth) { ++depth_; }
    ~cUserInput() { --depth_; }
    int& depth_;
};

} // namespace

cItemTree::cItemTree(QWidget* parent) : QTreeView(parent) {
    setObjectName(QStringLiteral("itemTree"));
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    // Whole labels, however long: the column takes the width of the labels
    // around the ones in view, and the pane scrolls sideways.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    pendingTimer_ = new QTimer(this);
    pendingTimer_->setSingleShot(true);
    pendingTimer_->setInterval(0);
    connect(pendingTimer_, &QTimer::timeout, this, &cItemTree::applyPendingSelection);
}

void cItemTree::setItemModel(cItemTreeModel* model) {
    model_ = model;
    setModel(model);
    connect(model, &cItemTreeModel::expandRequested, this,
            [this](const QModelIndex& index) { expand(index); });
}

TreeItemHandle cItemTree::caretItem() const {
    if (pendingSelection_) return *pendingSelection_;
    return model_ ? model_->handleOf(currentIndex()) : 0;
}

void cItemTree::selectItem(TreeItemHandle handle) {
    if (!model_) return;
    pendingSelection_ = handle;
    pendingTimer_->start();
}

void cItemTree::applyPendingSelection() {
    pendingTimer_->stop();
    if (!pendingSelection_ || !model_) return;
    const TreeItemHandle handle = *pendingSelection_;
    pendingSelection_.reset();
    const int saved = userInput_;
    userInput_ = 0;
    const QModelIndex index = model_->indexOf(handle);
    if (index.isValid()) {
        setCurrentIndex(index);
        scrollTo(index);
    } else {
        selectionModel()->clear();
    }
    userInput_ = saved;
}

int cItemTree::typicalLabelWidth() const {
    // One indentation per level, and one for the top level's decoration.
    // An "n" is about as wide as a letter of a name on average.
    return indentation() * (kItemDepth + 1) +
           fontMetrics().horizontalAdvance(QLatin1Char('n')) * kTypicalLabelLength +
           2 * frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void cItemTree::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    if (userInput_ == 0 || !current.isValid()) return;
    const ZRID zrid = current.data(cItemTreeModel::kZridRole).toInt();
    if (zrid != 0) emit itemChosen(zrid);
}

void cItemTree::keyPressEvent(QKeyEvent* event) {
    applyPendingSelection(); // the user's step starts where the program's selection is
    cUserInput input(userInput_);
    QTreeView::keyPressEvent(event);
}

void cItemTree::mousePressEvent(QMouseEvent* event) {
    applyPendingSelection(); // the user's step starts where the program's selection is
    cUserInput input(userInput_);
    QTreeView::mousePressEvent(event);
}

void cItemTree::mouseMoveEvent(QMouseEvent* event) {
    cUserInput input(userInput_);
    QTreeView::mouseMoveEvent(event);
}

void cItemTree::mouseReleaseEvent(QMouseEvent* event) {
    cUserInput input(userInput_);
    QTreeView::mouseReleaseEvent(event);
}

} // namespace quarry
