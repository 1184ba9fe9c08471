#include "app/quarry.h"

#include "app/about_dialog.h"
#include "app/quit_signals.h"
#include "cache/cache_folder.h"
#include "cache/cached_import.h"
#include "store/item_import.h"
#include "store/item_record.h"
#include "store/tag_reader.h"
#include "ui/compare_pane.h"
#include "ui/file_names.h"
#include "ui/frame_resources.h"
#include "ui/main_frame.h"
#include "ui/report_pane.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QTranslator>

#include <string_view>

// Resources live in a static library; this keeps them linked in and
// registered. Qt's macro declares a global function, so it stays outside the
// namespace.
static void initQuarryResources() {
    Q_INIT_RESOURCE(quarry);
}

namespace quarry {

namespace {

// The import's sentences about a file without items, marked for the
// translators; they are translated where they are shown.
constexpr const char* kNoItemsTexts[] = {
    QT_TRANSLATE_NOOP("strings", "No items found in %1."),
    QT_TRANSLATE_NOOP("strings",
                      "The file holds \"<Item\" tags, but none right after a '>': the records "
                      "must follow one another directly, without a line break or blank between "
                      "them.")};
static_assert(std::string_view(kNoItemsTexts[0]) == kNoItemsFound &&
              std::string_view(kNoItemsTexts[1]) == kItemTagsMisplaced);

} // namespace

cQuarry::cQuarry(int& argc, char** argv) : QApplication(argc, argv) {
    initQuarryResources();
    describeProgram();
    setApplicationDisplayName(QStringLiteral("quarry"));
    setDesktopFileName(QStringLiteral(QUARRY_APP_ID)); // the window belongs to the desktop entry
    setWindowIcon(QIcon(QStringLiteral(":/quarry/quarry.png")));
    loadTranslations();
}

void cQuarry::loadTranslations() {
    // Qt's own texts (dialog buttons), then the program's, in the user's
    // language when a catalogue for it is installed.
    const std::pair<const char*, QString> catalogues[] = {
        {"qtbase", QLibraryInfo::path(QLibraryInfo::TranslationsPath)},
        {"quarry", applicationDirPath() + QStringLiteral("/../share/quarry/translations")},
    };
    for (const auto& [name, folder] : catalogues) {
        auto* translator = new QTranslator(this);
        if (translator->load(QLocale(), QString::fromLatin1(name), QStringLiteral("_"), folder))
            installTranslator(translator);
        else
            delete translator;
    }
}

void cQuarry::describeProgram() {
    setApplicationName(QStringLiteral("quarry"));
    setApplicationVersion(QStringLiteral(QUARRY_VERSION));
    // Where the settings live: ~/.config/<organization>/<application>.conf.
    setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
}

cQuarry::~cQuarry() {
    frame_.reset();
}

cQuarry* cQuarry::instance() {
    return qobject_cast<cQuarry*>(QCoreApplication::instance());
}

bool cQuarry::InitInstance() {
    return initInstance(kZridPattern);
}

bool cQuarry::initInstance(const char* identifierPattern) {
    frame_.reset();
    history_.clear();

    auto frame = std::make_unique<cMainframe>(names_);
    QString failure;
    if (!frame->create(&failure)) {
        failStart(QStringLiteral("cMainframe"), failure);
        return false;
    }
    const std::int32_t result = identifierPattern_.compile(identifierPattern, true);
    if (result != patOk) {
        failStart(QStringLiteral("quarry"),
                  tr("The item identifier pattern could not be compiled (error %1), so no item "
                     "file could be imported. quarry will close.")
                      .arg(result));
        return false;
    }
    QSettings settings;
    frame->restoreSettings(settings);
    recentFiles_.load(settings);
    frame->setRecentFiles(recentFiles_.paths());
    frame_ = std::move(frame);
    connect(frame_.get(), &cMainframe::showItemRequested, this, &cQuarry::showItem);
    connect(frame_.get(), &cMainframe::commandTriggered, this, &cQuarry::onCommand);
    connect(frame_.get(), &cMainframe::importRequested, this, &cQuarry::requestImport);
    connect(frame_.get(), &cMainframe::compareRequested, this, &cQuarry::addToCompare);
    setActivity(eActivity::idle);
    frame_->show();
    return true;
}

void cQuarry::failStart(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
    box.exec();
}

void cQuarry::onCommand(int command) {
    switch (command) {
    case cmdImport:
        onImport();
        break;
    case cmdExport:
        onExport();
        break;
    case cmdBack:
        onBack();
        break;
    case cmdForward:
        onForward();
        break;
    case cmdAppAbout:
        onAppAbout();
        break;
    case cmdFindMentions:
        onFindMentions();
        break;
    case cmdClearCache:
        onClearCache();
        break;
    default:
        break;
    }
}

void cQuarry::showItem(ZRID zrid) {
    if (!frame_) return;
    frame_->displayItem(store_, zrid);
    // The step keeps the node the tree shows the item at, for Back and Forward.
    history_.record(zrid, frame_->revealItem(zrid));
    onUpdateBack();
    onUpdateForward();
}

bool cQuarry::scanItemFile(const std::string& path) {
    if (!frame_ || activity_ != eActivity::idle) return false;
    // The file's cache, when it holds the file as it is, stands in for reading it.
    cCachedImport import(store_, *frame_, *frame_, standardCacheFolder(), identifierPattern_);
    if (const cImportResult refused = cItemImport::check(path); !refused) {
        reportImportFailure(path, refused);
        return false;
    }
    imported_ = false;
    frame_->showImportRunning(true); // before the index changes: Find stops reading it
    names_.clear();
    setActivity(eActivity::importing);
    frame_->beginMessageOperation();
    const cImportResult result = import.run(path, frame_->treeControl(), names_);
    frame_->endMessageOperation(tr("while importing the item data"));
    imported_ = result && result.loaded != 0; // Export needs items
    if (!result) names_.clear();              // nothing of a failed import is kept
    // Millions of names take seconds to sort: the window keeps answering
    // meanwhile. Room kept for them is not given back: that would copy them all.
    names_.commitPending([this] { frame_->pumpMessages(); });
    frame_->reportPane()->prepareLinks();
    setActivity(eActivity::idle);
    frame_->showImportRunning(false);
    if (frame_->closeRequested()) return false; // stopped: the window has gone
    const QString compareNote = reloadCompareList();
    if (!result) {
        frame_->setItemFile({}); // nothing of the file is held
        reportImportFailure(path, result);
        return false;
    }
    if (result.loaded == 0) {
        reportNoItems(path, result.itemTagsMisplaced);
        return false;
    }
    frame_->setItemFile(path);
    frame_->showStatusMessage(compareNote.isEmpty()
                                  ? importedText(path, result)
                                  : importedText(path, result) + QLatin1Char(' ') + compareNote);
    noteRecentFile(path, true);
    return true;
}

QString cQuarry::importedText(const std::string& path, const cImportResult& result) const {
    const auto items = [](std::uint64_t count) {
        return count == 1 ? tr("1 item") : tr("%L1 items").arg(count);
    };
    return tr("Imported %1: %2 indexed, %L3 filed in the tree.")
        .arg(QFileInfo(fileNameForDisplay(path)).fileName(), items(store_.itemCount()))
        .arg(result.filed);
}

void cQuarry::reportNoItems(const std::string& path, bool tagsMisplaced) {
    // Nothing the window showed can be shown from this file: it starts afresh.
    history_.clear();
    onUpdateBack();
    onUpdateForward();
    frame_->clearItem();
    frame_->setItemFile({});
    noteRecentFile(path, false);
    const QString found = frameText(kNoItemsFound).arg(fileNameForDisplay(path));
    frame_->showStatusMessage(found);
    QMessageBox box(QMessageBox::Warning, QStringLiteral("quarry"),
                    tagsMisplaced ? found + QLatin1Char(' ') + frameText(kItemTagsMisplaced)
                                  : found,
                    QMessageBox::Ok, frame_.get());
    box.exec();
}

// --- the compare list -------------------------------------------------------

std::optional<ZRID> cQuarry::shownItem() const {
    if (history_.size() == 0) return std::nullopt;
    return history_.identifiers()[history_.position()];
}

void cQuarry::addToCompare(const std::vector<ZRID>& zrids) {
    if (!frame_) return;
    std::vector<ZRID> chosen = zrids;
    if (chosen.empty() && shownItem()) chosen.push_back(*shownItem());
    if (chosen.empty()) return;
    cComparePane* pane = frame_->comparePane();
    frame_->showComparePane();
    QStringList unloaded;
    QStringList full;
    for (const ZRID zrid : chosen) {
        cItemRecord record;
        frame_->beginMessageOperation();
        const bool loaded = store_.loadItem(zrid, record, *frame_);
        frame_->endMessageOperation(tr("while loading item %1").arg(zrid));
        if (!loaded)
            unloaded << QString::number(zrid);
        else if (pane->add(comparedItemOf(record)) == cCompareList::eAdded::full)
            full << QString::number(zrid);
    }
    QStringList problems;
    if (!unloaded.isEmpty())
        problems << tr("Not added to the compare list, as it does not load: %1", "",
                       int(unloaded.size()))
                        .arg(unloaded.join(QStringLiteral(", ")));
    if (!full.isEmpty())
        problems << tr("The compare list holds %1 items at most; not added: %2")
                        .arg(cCompareList::kMaxItems)
                        .arg(full.join(QStringLiteral(", ")));
    if (!problems.isEmpty()) frame_->showStatusMessage(problems.join(QStringLiteral(" ")));
}

QString cQuarry::reloadCompareList() {
    cComparePane* pane = frame_->comparePane();
    if (pane->list().items().empty()) return {};
    std::vector<cComparedItem> kept;
    QStringList gone;
    cQuietMessages quiet; // the import has just reported on these items
    for (const cComparedItem& item : pane->list().items()) {
        cItemRecord record;
        if (store_.loadItem(item.zrid, record, quiet))
            kept.push_back(comparedItemOf(record));
        else
            gone << QString::number(item.zrid);
    }
    pane->replace(std::move(kept));
    if (gone.isEmpty()) return {};
    return tr("Left the compare list, as they no longer load: %1", "", int(gone.size()))
        .arg(gone.join(QStringLiteral(", ")));
}

void cQuarry::onFindMentions() {
    if (frame_ && shownItem()) frame_->findMentionsOf(*shownItem());
}

void cQuarry::reportImportFailure(const std::string& path, const cImportResult& result) {
    const QString name = fileNameForDisplay(path);
    const QString reason = QString::fromLocal8Bit(result.failure.c_str());
    const bool refused = result.outcome == cImportResult::eOutcome::unreadable;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("quarry"),
                    refused
                        ? tr("The item file \"%1\" cannot be read (%2).").arg(name, reason)
                        : tr("The item file \"%1\" could not be read, so nothing was imported: %2")
                              .arg(name, reason),
                    QMessageBox::Ok, frame_.get());
    box.exec();
    if (refused) noteRecentFile(path, false);
}

void cQuarry::setActivity(eActivity activity) {
    activity_ = activity;
    onUpdateImport();
    onUpdateExport();
    onUpdateBack();
    onUpdateForward();
}

void cQuarry::noteRecentFile(const std::string& path, bool imported) {
    if (imported)
        recentFiles_.add(path);
    else
        recentFiles_.remove(path);
    QSettings settings;
    recentFiles_.save(settings);
    if (frame_) frame_->setRecentFiles(recentFiles_.paths());
    onUpdateImport();
}

void cQuarry::handleQuitSignals() {
    auto* quitSignals = new cQuitSignals(this);
    connect(quitSignals, &cQuitSignals::quitRequested, this, [this] {
        if (frame_ && frame_->isVisible())
            frame_->close();
        else
            quit();
    });
}

void cQuarry::onImport() {
    if (!frame_ || activity_ != eActivity::idle) return;
    QFileDialog dialog(frame_.get(), tr("Import Parsed RDB File"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({tr("Parsed RDB Files (*.xml)"), tr("All Files (*.*)")});
    dialog.setDefaultSuffix(QStringLiteral("xml"));
    if (!recentFiles_.paths().empty()) // start where the last import was
        dialog.selectFile(fileNameForDisplay(recentFiles_.paths().front()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    requestImport(fileNameFromText(dialog.selectedFiles().first()));
}

void cQuarry::requestImport(const std::string& path) {
    if (activity_ != eActivity::idle) return; // a drop or a recent file during other work
    QTimer::singleShot(0, this, [this, path] { scanItemFile(path); });
}

void cQuarry::onExport() {
    if (!frame_ || !imported_ || activity_ != eActivity::idle) return;
    const std::optional<cExportTarget> target = cExportCommand(*frame_, store_).askTarget();
    if (target) exportTo(*target);
}

bool cQuarry::exportTo(const cExportTarget& target) {
    if (!frame_ || !imported_ || activity_ != eActivity::idle) return false;
    setActivity(eActivity::exporting);
    const bool written = cExportCommand(*frame_, store_).run(target);
    setActivity(eActivity::idle); // a close during the export already closed the window
    return written;
}

void cQuarry::onClearCache() {
    if (!frame_ || activity_ != eActivity::idle) return;
    frame_->showStatusMessage(clearCacheFolder(standardCacheFolder())
                                  ? tr("The cache is cleared.")
                                  : tr("Some of the cache could not be removed."));
}

void cQuarry::onBack() {
    if (!frame_) return;
    const std::optional<cHistoryEntry> entry = history_.back();
    if (!entry) return; // a late click after the rule stopped holding
    onUpdateBack();
    onUpdateForward();
    frame_->displayItem(store_, entry->zrid);
    frame_->selectTreeItem(entry->treeItem, entry->zrid);
}

void cQuarry::onForward() {
    if (!frame_) return;
    const std::optional<cHistoryEntry> entry = history_.forward();
    if (!entry) return;
    onUpdateBack();
    onUpdateForward();
    frame_->displayItem(store_, entry->zrid);
    frame_->selectTreeItem(entry->treeItem, entry->zrid);
}

void cQuarry::onAppAbout() {
    CAboutDlg dialog(frame_.get());
    dialog.exec();
}

void cQuarry::onUpdateBack() {
    if (frame_) frame_->action(cmdBack)->setEnabled(history_.canBack());
}

void cQuarry::onUpdateForward() {
    if (frame_) frame_->action(cmdForward)->setEnabled(history_.canForward());
}

void cQuarry::onUpdateImport() {
    if (!frame_) return;
    const bool idle = activity_ == eActivity::idle;
    frame_->action(cmdImport)->setEnabled(idle);
    frame_->action(cmdRecentFiles)->setEnabled(idle && !recentFiles_.paths().empty());
    frame_->action(cmdClearCache)->setEnabled(idle);
}

void cQuarry::onUpdateExport() {
    if (frame_) frame_->action(cmdExport)->setEnabled(imported_ && activity_ == eActivity::idle);
}

} // namespace quarry
