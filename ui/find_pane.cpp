#include "ui/find_pane.h"

#include "ui/find_results_model.h"
#include "ui/text_conversion.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTableView>
#include <QVBoxLayout>

namespace quarry {

namespace {

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

cFindPane::cFindPane(cQueryIndex& names, QWidget* parent) : QWidget(parent), names_(names) {
    setObjectName(QStringLiteral("findPane"));

    searchBox_ = new QLineEdit(this);
    searchBox_->setObjectName(QStringLiteral("findBox"));
    searchBox_->setPlaceholderText(tr("Words of a name, -word, ql:N-M or an ID"));
    searchBox_->setClearButtonEnabled(true);
    searchBox_->installEventFilter(this);
    setFocusProxy(searchBox_);

    countLine_ = new QLabel(this);
    countLine_->setObjectName(QStringLiteral("findCount"));

    model_ = new cFindResultsModel(names_, this);
    resultsView_ = new QTableView(this);
    resultsView_->setObjectName(QStringLiteral("findResults"));
    resultsView_->setModel(model_);
    resultsView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    resultsView_->setSelectionMode(QAbstractItemView::SingleSelection);
    resultsView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    resultsView_->setWordWrap(false);
    resultsView_->installEventFilter(this);
    // Fixed row heights and column widths: the view never measures rows it
    // does not show.
    QHeaderView* rows = resultsView_->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);
    QHeaderView* columns = resultsView_->horizontalHeader();
    columns->setSectionResizeMode(cFindResultsModel::kNameColumn, QHeaderView::Stretch);
    // Room for a QL of three digits and an identifier of seven; the user
    // widens them for more.
    const auto digits = [&](int count) {
        return (count + 2) * fontMetrics().horizontalAdvance(QLatin1Char('0'));
    };
    columns->resizeSection(cFindResultsModel::kQlColumn, digits(3));
    columns->resizeSection(cFindResultsModel::kIdColumn, digits(7));
    columns->setSortIndicator(-1, Qt::AscendingOrder);
    resultsView_->setSortingEnabled(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(searchBox_);
    layout->addWidget(countLine_);
    layout->addWidget(resultsView_, 1);

    connect(searchBox_, &QLineEdit::textChanged, this, &cFindPane::refresh);
    connect(resultsView_, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { chooseRow(index.row()); });
}

void cFindPane::setImportRunning(bool running) {
    importRunning_ = running;
    refresh();
}

void cFindPane::focusSearchBox() {
    searchBox_->setFocus(Qt::ShortcutFocusReason);
    searchBox_->selectAll();
}

void cFindPane::refresh() {
    // Items filed since the last search join the index first.
    names_.commitPending();
    const QByteArray text = searchBox_->text().toUtf8();
    const cParsedQuery parsed =
        parseQuery(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    cQueryResult result;
    if (parsed.ok()) result = runQuery(names_, parsed.query, true);
    showCount(result, parsed);
    // A new result comes in the search's own order, without a sort column.
    resultsView_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    model_->setResults(std::move(result.items));
}

void cFindPane::showCount(const cQueryResult& result, const cParsedQuery& parsed) {
    const std::size_t count = result.items.size();
    QString line;
    if (!parsed.ok() && !searchBox_->text().trimmed().isEmpty())
        line = textFromBytes(parsed.error->message());
    else if (parsed.ok())
        line = count == 0 ? tr("no items")
               : count == 1
                   ? tr("1 item")
                   : tr("%1 items").arg(QLocale(QLocale::English).toString(qulonglong(count)));
    if (result.near)
        line = tr("close spellings of \"%1\": %2").arg(searchBox_->text().trimmed(), line);
    if (importRunning_)
        line = line.isEmpty() ? tr("import running") : tr("%1 so far, import running").arg(line);
    countLine_->setText(line);
}

void cFindPane::chooseRow(int row) {
    if (row < 0 || row >= model_->rowCount()) return;
    emit itemChosen(model_->zridAt(row));
}

bool cFindPane::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (watched == searchBox_) {
        if (isEnter(key)) {
            chooseRow(0);
            return true;
        }
        if ((key == Qt::Key_Down || key == Qt::Key_Up) && model_->rowCount() > 0) {
            if (!resultsView_->currentIndex().isValid())
                resultsView_->setCurrentIndex(model_->index(0, 0));
            resultsView_->setFocus(Qt::OtherFocusReason);
            return true;
        }
        if (key == Qt::Key_Escape && !searchBox_->text().isEmpty()) {
            searchBox_->clear();
            return true;
        }
    } else if (watched == resultsView_) {
        if (isEnter(key)) {
            chooseRow(resultsView_->currentIndex().row());
            return true;
        }
        if (key == Qt::Key_Escape) {
            focusSearchBox();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quarry
