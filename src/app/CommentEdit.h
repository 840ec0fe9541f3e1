// The editor of a history comment: at most 16 characters, and only those the
// history file (Windows-1250) can store; others are refused as they are typed,
// so nothing typed is changed silently when the history is saved.
#pragma once

#include <QLineEdit>
#include <QValidator>

namespace qv {

// Accepts a text only when every character has a Windows-1250 byte (and is
// not a TAB, which separates the cells).
class Cp1250Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

class CommentEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CommentEdit(QWidget *parent = nullptr);
};

bool StorableInCp1250(const QString &text);

} // namespace qv
