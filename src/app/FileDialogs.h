// The file dialogs of File > Open, Save and Export behind a small interface,
// so that tests give the file names without a window.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace qv {

struct FileDialogRequest {
    bool save = false;
    QString title;
    QString folder;     // the folder shown first (may be empty)
    QString fileName;   // the name preset in the dialog (without folder)
    // "description|pattern|description|pattern"
    QString filter;
    // Save: the name typed and the filter entry chosen when the user accepts;
    // returns the completed name, or an empty one to keep the dialog open.
    std::function<QString(const QString &typed, int filterEntry)> accept;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen file's full path; empty when the user cancelled.
    virtual QString ask(QWidget *owner, const FileDialogRequest &request) = 0;
};

// QFileDialog: an existing file to open; a folder that exists to save into,
// closing only when `accept` lets it.
class QtFileDialogs : public FileDialogs {
public:
    QString ask(QWidget *owner, const FileDialogRequest &request) override;
};

// "Text files (*.txt)|*.txt|..." as QFileDialog takes it: the descriptions
// joined by ";;".
QString QtNameFilters(const QString &filter);

} // namespace qv
