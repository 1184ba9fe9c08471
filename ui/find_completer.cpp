#include "ui/find_completer.h"

#include "search/query_fields.h"
#include "search/query_index.h"
#include "ui/text_conversion.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QStringListModel>

namespace quarry {

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Where the word at `cursor` starts: after the blank before it and after the
// operators "-" and "(" that lead it.
qsizetype wordStart(const QString& text, qsizetype cursor) {
    qsizetype start = cursor;
    while (start > 0 && !isBlank(text[start - 1]))
        --start;
    while (start < cursor && (text[start] == QLatin1Char('-') || text[start] == QLatin1Char('(')))
        ++start;
    return start;
}

// A value as typed after its field: quoted when it holds a blank.
QString typedValue(QString value) {
    if (!value.contains(QLatin1Char(' ')) && !value.contains(QLatin1Char('\t'))) return value;
    return QLatin1Char('"') + value.remove(QLatin1Char('"')) + QLatin1Char('"');
}

// The values a field is completed with; none for a field of free text.
QStringList valuesOf(const cQueryIndex& names, eQueryField field) {
    QStringList values;
    switch (field) {
    case eQueryField::type:
    case eQueryField::slot:
    case eQueryField::is:
        for (const std::string_view value : fixedQueryValues(field))
            values << textFromBytes(value).toLower();
        break;
    case eQueryField::attr:
    case eQueryField::req:
    case eQueryField::atk:
    case eQueryField::def:
    case eQueryField::action:
    case eQueryField::event:
    case eQueryField::func:
        for (const std::string_view name : names.namesByFrequency(field))
            values << typedValue(textFromBytes(name));
        break;
    default:
        break;
    }
    return values;
}

} // namespace

cFindCompleter::cFindCompleter(QLineEdit* box, const cQueryIndex& names)
    : QObject(box), box_(box), names_(names) {
    choices_ = new QStringListModel(this);
    completer_ = new QCompleter(choices_, this);
    completer_->setWidget(box_);
    completer_->setCompletionMode(QCompleter::PopupCompletion);
    completer_->setCaseSensitivity(Qt::CaseInsensitive);
    completer_->setModelSorting(QCompleter::UnsortedModel); // keeps most frequent first
    completer_->popup()->setObjectName(QStringLiteral("findCompletions"));
    connect(box_, &QLineEdit::textEdited, this, &cFindCompleter::offerWordChoices);
    connect(completer_, qOverload<const QString&>(&QCompleter::activated), this,
            &cFindCompleter::insertChoice);
}

QStringList cFindCompleter::choicesFor(const cQueryIndex& names, const QString& word) {
    const qsizetype colon = word.indexOf(QLatin1Char(':'));
    QStringList choices;
    if (colon < 0) {
        for (int field = 0; field < kQueryFieldCount; ++field)
            choices << textFromBytes(queryFieldName(static_cast<eQueryField>(field))) +
                           QLatin1Char(':');
        return choices;
    }
    const QString typedField = word.left(colon + 1);
    const QByteArray fieldName = word.left(colon).toUtf8();
    const std::optional<eQueryField> field =
        queryFieldNamed(std::string_view(fieldName.constData(), std::size_t(fieldName.size())));
    if (!field) return choices;
    for (const QString& value : valuesOf(names, *field))
        choices << typedField + value;
    return choices;
}

void cFindCompleter::offerQueries(const QStringList& queries) {
    if (queries.isEmpty()) return;
    wholeBox_ = true;
    choices_->setStringList(queries);
    completer_->setCompletionPrefix(QString());
    completer_->complete();
}

void cFindCompleter::offerWordChoices() {
    wholeBox_ = false;
    const QString text = box_->text();
    const qsizetype cursor = box_->cursorPosition();
    const bool atWordEnd = cursor == text.size() || isBlank(text[cursor]);
    const QString word = text.mid(wordStart(text, cursor), cursor - wordStart(text, cursor));
    if (!atWordEnd || word.isEmpty() || word.contains(QLatin1Char('"'))) {
        completer_->popup()->hide();
        return;
    }
    choices_->setStringList(choicesFor(names_, word));
    completer_->setCompletionPrefix(word);
    if (completer_->completionCount() == 0) {
        completer_->popup()->hide();
        return;
    }
    completer_->complete();
}

void cFindCompleter::insertChoice(const QString& choice) {
    if (wholeBox_) {
        box_->setText(choice);
        return;
    }
    const QString text = box_->text();
    const qsizetype cursor = box_->cursorPosition();
    const qsizetype start = wordStart(text, cursor);
    box_->setText(text.left(start) + choice + text.mid(cursor));
    box_->setCursorPosition(start + choice.size());
    // A field name chosen: its values come next.
    if (choice.endsWith(QLatin1Char(':')))
        QMetaObject::invokeMethod(this, &cFindCompleter::offerWordChoices, Qt::QueuedConnection);
}

} // namespace quarry
