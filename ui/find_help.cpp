#include "ui/find_help.h"

#include "search/query_fields.h"
#include "ui/text_conversion.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace quarry {

namespace {

// One example per field, in the order of eQueryField.
struct cFieldExample {
    const char* example;
    const char* meaning;
};
const cFieldExample kFieldExamples[kQueryFieldCount] = {
    {"name:\"ion lance\"", QT_TRANSLATE_NOOP("quarry::cFindHelp", "the name contains the text")},
    {"ql:100-200", QT_TRANSLATE_NOOP("quarry::cFindHelp", "the QL: N, N-M, =N, !=N, <N, >=N ...")},
    {"id:>=200000", QT_TRANSLATE_NOOP("quarry::cFindHelp", "the identifier, as ql:")},
    {"type:weapon", QT_TRANSLATE_NOOP("quarry::cFindHelp", "the item type, or none")},
    {"slot:head", QT_TRANSLATE_NOOP("quarry::cFindHelp", "an equipment slot")},
    {"is:nano", QT_TRANSLATE_NOOP("quarry::cFindHelp", "a nano program")},
    {"folder:armor/head", QT_TRANSLATE_NOOP("quarry::cFindHelp", "a folder of the tree holds it")},
    {"attr:range>=40",
     QT_TRANSLATE_NOOP("quarry::cFindHelp", "an attribute, with =, !=, ~ (contains), <, >, ...")},
    {"req:kinesis<300", QT_TRANSLATE_NOOP("quarry::cFindHelp", "a requirement to use it")},
    {"atk:\"kinetic bows\">=50",
     QT_TRANSLATE_NOOP("quarry::cFindHelp", "an attack skill, with its percent")},
    {"def:\"parry arc\">10",
     QT_TRANSLATE_NOOP("quarry::cFindHelp", "a defence skill, with its percent")},
    {"action:towear", QT_TRANSLATE_NOOP("quarry::cFindHelp", "an action of that name")},
    {"event:onuse", QT_TRANSLATE_NOOP("quarry::cFindHelp", "an event of that name")},
    {"func:spawn", QT_TRANSLATE_NOOP("quarry::cFindHelp", "a function of an event")},
    {"arg:100003",
     QT_TRANSLATE_NOOP("quarry::cFindHelp", "a function argument: what mentions an item")},
};

// Queries the help runs when clicked.
const char* const kExampleQueries[] = {
    "ion lance ql:>=100",
    "(slot:head or slot:feet) attr:shieldkinetic>=50",
    "type:weapon req:kinesis<300 -atk:\"kinetic bows\"",
};

QString fieldRows() {
    QString rows;
    for (int field = 0; field < kQueryFieldCount; ++field) {
        const cFieldExample& row = kFieldExamples[field];
        const QString example = QString::fromUtf8(row.example);
        Q_ASSERT(example.startsWith(textFromBytes(queryFieldName(eQueryField(field)))));
        rows += QStringLiteral("<tr><td><code>%1</code></td><td>%2</td></tr>")
                    .arg(example.toHtmlEscaped(), cFindHelp::tr(row.meaning).toHtmlEscaped());
    }
    return rows;
}

QString exampleLinks() {
    QString links;
    for (const char* const query : kExampleQueries) {
        const QString text = QString::fromUtf8(query).toHtmlEscaped();
        links += QStringLiteral("<li><a href=\"%1\"><code>%1</code></a></li>").arg(text);
    }
    return links;
}

} // namespace

cFindHelp::cFindHelp(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("findHelp"));
    setWindowTitle(tr("Find: Queries"));

    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("findHelpText"));
    text->setTextFormat(Qt::RichText);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextBrowserInteraction);
    text->setText(
        tr("<p>Words find the names that contain them; an ID alone finds that item first. "
           "A field and a colon ask for more:</p>") +
        QStringLiteral("<table cellspacing=\"4\">%1</table>").arg(fieldRows()) +
        tr("<p>Terms side by side must all hold; <code>or</code> between them needs one; "
           "<code>-</code> or <code>not</code> before a term excludes it; parentheses group. "
           "Put a text with blanks in double quotes.</p><p>Click an example to run it:</p>") +
        QStringLiteral("<ul>%1</ul>").arg(exampleLinks()));
    connect(text, &QLabel::linkActivated, this, [this](const QString& query) {
        emit queryChosen(query);
        accept();
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
}

} // namespace quarry
