#include "app/CommentEdit.h"

#include "history/HistoryColumns.h"
#include "protocol/Cp1250.h"

namespace qv {

bool StorableInCp1250(const QString &text)
{
    if (text.contains(QLatin1Char('\t')))
        return false;
    return FromCp1250(ToCp1250(text)) == text;
}

QValidator::State Cp1250Validator::validate(QString &input, int &) const
{
    return StorableInCp1250(input) ? Acceptable : Invalid;
}

CommentEdit::CommentEdit(QWidget *parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("CommentEdit"));
    setMaxLength(hc::CommentLength);
    setValidator(new Cp1250Validator(this));
    setFrame(false);
}

} // namespace qv
