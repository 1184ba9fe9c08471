#include "app/export_command.h"

#include "store/item_store.h"
#include "ui/file_names.h"
#include "ui/main_frame.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStatusBar>

namespace quarry {

namespace {

// One file type of the dialog per format; the name filter's patterns are
// the suffixes that choose the format.
struct cExportFileType {
    eExportFormat format;
    const char* filter; // shown through tr()
};

constexpr cExportFileType kExportFileTypes[] = {
    {eExportFormat::jsonLines, QT_TRANSLATE_NOOP("cExportCommand", "JSON lines (*.jsonl)")},
    {eExportFormat::sqlite, QT_TRANSLATE_NOOP("cExportCommand", "SQLite database (*.db *.sqlite)")},
};

// The suffixes of a name filter, "db" and "sqlite" of "SQLite database (*.db *.sqlite)".
QStringList suffixesOf(const char* filter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    QStringList suffixes;
    QRegularExpressionMatchIterator matches = pattern.globalMatch(QString::fromLatin1(filter));
    while (matches.hasNext())
        suffixes << matches.next().captured(1);
    return suffixes;
}

// The type a file name's suffix asks for, else the type of the chosen filter.
const cExportFileType& typeOf(const QString& path, qsizetype chosenFilter) {
    const QString suffix = QFileInfo(path).suffix();
    for (const cExportFileType& type : kExportFileTypes)
        if (suffixesOf(type.filter).contains(suffix, Qt::CaseInsensitive)) return type;
    return kExportFileTypes[std::max<qsizetype>(chosenFilter, 0)];
}

constexpr int kOutcomeShownMs = 10000;

} // namespace

std::optional<cExportTarget> cExportCommand::askTarget() const {
    QFileDialog dialog(&frame_, tr("Export Items"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const cExportFileType& type : kExportFileTypes)
        filters << tr(type.filter);
    dialog.setNameFilters(filters);
    // A name typed without a suffix gets the chosen type's first one.
    const auto defaultSuffix = [&dialog, filters](const QString& filter) {
        const auto type = std::max<qsizetype>(filters.indexOf(filter), 0);
        dialog.setDefaultSuffix(suffixesOf(kExportFileTypes[type].filter).value(0));
    };
    defaultSuffix(filters.first());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, defaultSuffix);
    // Beside the imported file, under its name.
    const QFileInfo imported(fileNameForDisplay(store_.path()));
    dialog.setDirectory(imported.absolutePath());
    dialog.selectFile(imported.completeBaseName() + QLatin1Char('.') + dialog.defaultSuffix());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};

    const QString chosen = dialog.selectedFiles().first();
    return cExportTarget{fileNameFromText(chosen),
                         typeOf(chosen, filters.indexOf(dialog.selectedNameFilter())).format};
}

bool cExportCommand::run(const cExportTarget& target) const {
    cQuietMessages quiet; // the items were reported on while they were imported
    frame_.beginProgress("Exporting Items", 0);
    // The user confirmed replacing an existing file in the dialog.
    const cExportResult result =
        exportItems(store_, target.format, target.path, true, frame_, quiet);
    frame_.endProgress();

    const QString name = fileNameForDisplay(target.path);
    if (result.ok) {
        const QString text = result.items == 1
                                 ? tr("Exported 1 item to %1").arg(name)
                                 : tr("Exported %1 items to %2")
                                       .arg(QLocale().toString(qulonglong(result.items)), name);
        frame_.statusBar()->showMessage(text, kOutcomeShownMs);
        return true;
    }
    if (frame_.closeRequested()) return false; // the user stopped it by closing the window
    QMessageBox box(QMessageBox::Warning, tr("Export Items"),
                    tr("The items could not be exported to \"%1\": %2")
                        .arg(name, QString::fromLocal8Bit(result.error.c_str())),
                    QMessageBox::Ok, &frame_);
    box.exec();
    return false;
}

} // namespace quarry
