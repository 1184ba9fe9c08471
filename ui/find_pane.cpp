#include "ui/find_pane.h"

#include "search/name_text.h"
#include "ui/find_completer.h"
#include "ui/find_help.h"
#include "ui/find_results_model.h"
#include "ui/find_search.h"
#include "ui/text_conversion.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quarry {

namespace {

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool hasFolded(const std::vector<std::string>& names, std::string_view name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& at) { return equalFolded(at, name); });
}

// A cell of copied text: tabs and line ends would split it.
QString copiedCell(QString text) {
    for (const QChar splitter : {QLatin1Char('\t'), QLatin1Char('\n'), QLatin1Char('\r')})
        text.replace(splitter, QLatin1Char(' '));
    return text;
}

} // namespace

cFindPane::cFindPane(cQueryIndex& names, QWidget* parent) : QWidget(parent), names_(names) {
    setObjectName(QStringLiteral("findPane"));
    createSearchBox();
    countLine_ = new QLabel(this);
    countLine_->setObjectName(QStringLiteral("findCount"));
    createResultsView();

    auto* boxRow = new QHBoxLayout;
    boxRow->addWidget(searchBox_, 1);
    boxRow->addWidget(helpButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(boxRow);
    layout->addWidget(countLine_);
    layout->addWidget(resultsView_, 1);

    search_ = new cFindSearch(names_, this);
    connect(search_, &cFindSearch::finished, this, &cFindPane::showResult);
    connect(searchBox_, &QLineEdit::textChanged, this, &cFindPane::refresh);
}

void cFindPane::createSearchBox() {
    searchBox_ = new QLineEdit(this);
    searchBox_->setObjectName(QStringLiteral("findBox"));
    searchBox_->setPlaceholderText(tr("Words of a name, field:value or an ID (F1: help)"));
    searchBox_->setClearButtonEnabled(true);
    searchBox_->installEventFilter(this);
    setFocusProxy(searchBox_);
    completer_ = new cFindCompleter(searchBox_, names_);

    helpButton_ = new QToolButton(this);
    helpButton_->setObjectName(QStringLiteral("findHelpButton"));
    helpButton_->setText(tr("?"));
    helpButton_->setToolTip(tr("How to write a query (F1)"));
    helpButton_->setFocusPolicy(Qt::NoFocus);
    connect(helpButton_, &QToolButton::clicked, this, &cFindPane::showHelp);
}

void cFindPane::createResultsView() {
    model_ = new cFindResultsModel(names_, this);
    resultsView_ = new QTableView(this);
    resultsView_->setObjectName(QStringLiteral("findResults"));
    resultsView_->setModel(model_);
    resultsView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    resultsView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
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
    columns->resizeSection(cFindResultsModel::kQlColumn, digitsWidth(3));
    columns->resizeSection(cFindResultsModel::kIdColumn, digitsWidth(7));
    columns->setSortIndicator(-1, Qt::AscendingOrder);
    columns->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(columns, &QWidget::customContextMenuRequested, this, &cFindPane::showColumnMenu);
    resultsView_->setSortingEnabled(true);
    connect(resultsView_, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { chooseRow(index.row()); });

    copyAction_ = new QAction(tr("&Copy"), this);
    copyAction_->setShortcut(QKeySequence::Copy);
    copyAction_->setShortcutContext(Qt::WidgetShortcut);
    connect(copyAction_, &QAction::triggered, this, &cFindPane::copySelectedRows);
    resultsView_->addAction(copyAction_);
}

int cFindPane::digitsWidth(int count) const {
    return (count + 2) * fontMetrics().horizontalAdvance(QLatin1Char('0'));
}

void cFindPane::showColumns(std::vector<std::string> columns) {
    if (columns == model_->attributeColumns()) return;
    // Other columns reset the header: QL and ID keep their widths, and an
    // attribute column takes its name's width, at least that of six digits.
    QHeaderView* header = resultsView_->horizontalHeader();
    const int ql = header->sectionSize(cFindResultsModel::kQlColumn);
    const int id = header->sectionSize(cFindResultsModel::kIdColumn);
    model_->setAttributeColumns(std::move(columns));
    header->resizeSection(cFindResultsModel::kQlColumn, ql);
    header->resizeSection(cFindResultsModel::kIdColumn, id);
    for (int column = cFindResultsModel::kFixedColumns; column < model_->columnCount(); ++column)
        header->resizeSection(column, std::max(digitsWidth(6), header->sectionSizeHint(column)));
}

void cFindPane::setImportRunning(bool running) {
    importRunning_ = running;
    if (!running) {
        refresh();
        return;
    }
    // The import clears the index and fills it on this thread: no search
    // may read it meanwhile.
    search_->stop();
    model_->clear();
    showCount(QString());
}

void cFindPane::focusSearchBox() {
    searchBox_->setFocus(Qt::ShortcutFocusReason);
    searchBox_->selectAll();
}

bool cFindPane::searching() const {
    return search_->running();
}

void cFindPane::refresh() {
    const QString typed = searchBox_->text();
    if (typed.trimmed().isEmpty()) {
        search_->abandon();
        model_->clear();
        showCount(QString());
        return;
    }
    const QByteArray text = typed.toUtf8();
    const cParsedQuery parsed =
        parseQuery(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    if (!parsed.ok()) {
        // The last results stay until the query parses again.
        search_->abandon();
        showCount(textFromBytes(parsed.error->message()), true);
        return;
    }
    queryColumns_ = attributesNamedIn(parsed.query);
    if (importRunning_) {
        // Items filed since the last search join the index first.
        names_.commitPending();
        showResult(runQuery(names_, parsed.query, true));
        return;
    }
    search_->start(parsed.query, true, patience_);
    if (search_->running()) showCount(tr("searching..."));
}

void cFindPane::showResult(const cQueryResult& result) {
    std::vector<std::string> columns = queryColumns_;
    for (const std::string& name : addedColumns_)
        if (!hasFolded(columns, name)) columns.push_back(name);
    showColumns(std::move(columns));
    // A new result comes in the search's own order, without a sort column.
    resultsView_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    model_->setResults(result.items);
    const std::size_t count = result.items.size();
    QString line = count == 0 ? tr("no items")
                   : count == 1
                       ? tr("1 item")
                       : tr("%1 items").arg(QLocale(QLocale::English).toString(qulonglong(count)));
    if (result.near)
        line = tr("close spellings of \"%1\": %2").arg(searchBox_->text().trimmed(), line);
    showCount(line);
}

void cFindPane::showCount(const QString& line, bool isError) {
    QString shown = line;
    if (importRunning_ && !isError)
        shown = line.isEmpty() ? tr("import running") : tr("%1 so far, import running").arg(line);
    countLine_->setText(shown);
    QPalette palette;
    if (isError) palette.setColor(QPalette::WindowText, Qt::red);
    countLine_->setPalette(palette);
}

std::vector<std::string> cFindPane::attributesNamedIn(const cQuery& query) const {
    const std::vector<std::string_view> spelled = names_.namesByFrequency(eQueryField::attr);
    std::vector<std::string> columns;
    for (const cQueryTerm& term : query.terms) {
        if (term.field != eQueryField::attr || hasFolded(columns, term.key)) continue;
        // As the file spells it, when it has it.
        const auto found = std::find_if(spelled.begin(), spelled.end(), [&](std::string_view name) {
            return equalFolded(name, term.key);
        });
        columns.emplace_back(found != spelled.end() ? *found : std::string_view(term.key));
    }
    return columns;
}

void cFindPane::addAttributeColumn(std::string name) {
    if (hasFolded(addedColumns_, name)) return;
    addedColumns_.push_back(name);
    std::vector<std::string> columns = model_->attributeColumns();
    if (!hasFolded(columns, name)) columns.push_back(std::move(name));
    showColumns(std::move(columns));
}

void cFindPane::removeAttributeColumn(const std::string& name) {
    std::erase(addedColumns_, name);
    std::vector<std::string> columns = model_->attributeColumns();
    std::erase(columns, name);
    showColumns(std::move(columns));
}

void cFindPane::showColumnMenu(QPoint at) {
    QHeaderView* header = resultsView_->horizontalHeader();
    QMenu menu(this);
    QMenu* add = menu.addMenu(tr("&Add Column"));
    for (const std::string_view name : names_.namesByFrequency(eQueryField::attr)) {
        const QString label = textFromBytes(name).replace(QLatin1Char('&'), QStringLiteral("&&"));
        add->addAction(label, this, [this, name = std::string(name)] { addAttributeColumn(name); });
    }
    add->setEnabled(!add->isEmpty());
    const int section = header->logicalIndexAt(at) - cFindResultsModel::kFixedColumns;
    const std::vector<std::string>& shown = model_->attributeColumns();
    if (section >= 0 && std::size_t(section) < shown.size() &&
        std::find(addedColumns_.begin(), addedColumns_.end(), shown[std::size_t(section)]) !=
            addedColumns_.end()) {
        const std::string name = shown[std::size_t(section)];
        menu.addAction(tr("&Remove Column \"%1\"").arg(textFromBytes(name)), this,
                       [this, name] { removeAttributeColumn(name); });
    }
    menu.exec(header->mapToGlobal(at));
}

void cFindPane::copySelectedRows() {
    QModelIndexList rows = resultsView_->selectionModel()->selectedRows();
    if (rows.isEmpty()) return;
    std::sort(rows.begin(), rows.end());
    QStringList cells;
    for (int column = 0; column < model_->columnCount(); ++column)
        cells << copiedCell(model_->headerData(column, Qt::Horizontal).toString());
    QString text = cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const QModelIndex& row : rows) {
        cells.clear();
        for (int column = 0; column < model_->columnCount(); ++column)
            cells << copiedCell(model_->index(row.row(), column).data().toString());
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    QGuiApplication::clipboard()->setText(text);
}

void cFindPane::showHelp() {
    auto* help = new cFindHelp(this);
    help->setAttribute(Qt::WA_DeleteOnClose);
    connect(help, &cFindHelp::queryChosen, searchBox_, &QLineEdit::setText);
    help->show();
}

void cFindPane::chooseRow(int row) {
    if (row < 0 || row >= model_->rowCount()) return;
    noteQueryUsed();
    emit itemChosen(model_->zridAt(row));
}

void cFindPane::noteQueryUsed() {
    if (model_->rowCount() > 0 && !searching()) history_.add(searchBox_->text());
}

bool cFindPane::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (watched == searchBox_) {
        if (key == Qt::Key_F1) {
            showHelp();
            return true;
        }
        if (isEnter(key)) {
            chooseRow(0);
            return true;
        }
        if ((key == Qt::Key_Down || key == Qt::Key_Up) && searchBox_->text().isEmpty()) {
            completer_->offerQueries(history_.queries());
            return true;
        }
        if ((key == Qt::Key_Down || key == Qt::Key_Up) && model_->rowCount() > 0) {
            noteQueryUsed();
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
