#include "app/quarry.h"

#include "app/about_dialog.h"
#include "platform/item_file_check.h"
#include "store/tag_reader.h"
#include "ui/file_names.h"
#include "ui/frame_resources.h"
#include "ui/main_frame.h"

#include <QFileDialog>
#include <QMessageBox>

// Resources live in a static library; this keeps them linked in and
// registered. Qt's macro declares a global function, so it stays outside the
// namespace.
static void initQuarryResources() {
    Q_INIT_RESOURCE(quarry);
}

namespace quarry {

cQuarry::cQuarry(int& argc, char** argv) : QApplication(argc, argv) {
    initQuarryResources();
    setApplicationName(QStringLiteral("quarry"));
    setApplicationDisplayName(QStringLiteral("quarry"));
    // The settings key; nothing is read from it or written to it.
    setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    setWindowIcon(QIcon(QStringLiteral(":/quarry/quarry.png")));
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

    auto frame = std::make_unique<cMainframe>();
    QString failure;
    if (!frame->create(&failure)) {
        failStart(QStringLiteral("cMainframe"), failure);
        return false;
    }
    const std::int32_t result = identifierPattern_.compile(identifierPattern, true);
    if (result != patOk) {
        failStart(QStringLiteral("quarry"),
                  QStringLiteral(
                      "The item identifier pattern could not be compiled (error %1), so no item "
                      "file could be imported. quarry will close.")
                      .arg(result));
        return false;
    }
    frame_ = std::move(frame);
    connect(frame_.get(), &cMainframe::showItemRequested, this, &cQuarry::showItem);
    connect(frame_.get(), &cMainframe::commandTriggered, this, &cQuarry::onCommand);
    onUpdateBack();
    onUpdateForward();
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
    case cmdBack:
        onBack();
        break;
    case cmdForward:
        onForward();
        break;
    case cmdAppAbout:
        onAppAbout();
        break;
    default:
        break;
    }
}

void cQuarry::showItem(ZRID zrid) {
    if (!frame_) return;
    frame_->displayItem(store_, zrid);
    history_.record(zrid, frame_->getSelectedTreeItem());
    onUpdateBack();
    onUpdateForward();
}

bool cQuarry::scanItemFile(const std::string& path) {
    if (!frame_ || frame_->importRunning()) return false;
    const std::string reason = whyUnreadable(path);
    if (!reason.empty()) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("quarry"),
                        tr("The item file \"%1\" cannot be read (%2).")
                            .arg(fileNameForDisplay(path), QString::fromLocal8Bit(reason)),
                        QMessageBox::Ok, frame_.get());
        box.exec();
        return false;
    }
    frame_->setImportRunning(true);
    const cImportResult scanned = store_.scanItemFile(path, *frame_, identifierPattern_);
    // After a failed scan the index is empty: the tree is rebuilt from it, so
    // no node of the earlier import stays.
    cImportResult built;
    if (scanned.outcome != cImportResult::eOutcome::superseded && !frame_->closeRequested())
        built = frame_->importItems(store_);
    frame_->setImportRunning(false);
    if (frame_->closeRequested()) {
        frame_->close();
        return static_cast<bool>(scanned);
    }
    const cImportResult& failed = scanned.readFailed() ? scanned : built;
    if (failed.readFailed()) {
        QMessageBox box(
            QMessageBox::Warning, QStringLiteral("quarry"),
            tr("The item file \"%1\" could not be read, so nothing was imported: %2")
                .arg(fileNameForDisplay(path), QString::fromLocal8Bit(failed.failure.c_str())),
            QMessageBox::Ok, frame_.get());
        box.exec();
    }
    return scanned && built;
}

void cQuarry::onImport() {
    if (!frame_ || frame_->importRunning()) return;
    QFileDialog dialog(frame_.get(), QStringLiteral("Import Parsed RDB File"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(
        {QStringLiteral("Parsed RDB Files (*.xml)"), QStringLiteral("All Files (*.*)")});
    dialog.setDefaultSuffix(QStringLiteral("xml"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    scanItemFile(fileNameFromText(dialog.selectedFiles().first()));
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

} // namespace quarry
