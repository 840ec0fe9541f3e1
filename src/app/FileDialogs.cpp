#include "app/FileDialogs.h"

#include "dialogs/DialogSeam.h"

#include <QDir>
#include <QFileInfo>
#include <QFileDialog>

namespace qv {

namespace {
// A Save dialog that asks its close check before it closes.
class CheckedSaveDialog : public QFileDialog {
public:
    CheckedSaveDialog(QWidget *owner, const FileDialogRequest &request)
        : QFileDialog(owner, request.title, request.folder), m_request(request)
    {
        setOption(QFileDialog::DontUseNativeDialog);   // accept() must be ours
        setOption(QFileDialog::DontConfirmOverwrite);  // the close check asks
    }
    QString chosen;

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (files.isEmpty())
            return;
        const int entry = nameFilters().indexOf(selectedNameFilter());
        const QString completed = m_request.accept ? m_request.accept(files.first(), std::max(entry, 0))
                                                   : files.first();
        if (completed.isEmpty())
            return;   // stays open
        // Like the system's Save dialog, it asks before creating a file.
        if (!QFileInfo::exists(completed) &&
            !AskYesNo(this, completed + QStringLiteral("\r\nThis file does not exist.\r\nDo you want to create it?"),
                      windowTitle(), IconWarning, BtnCodeYes))
            return;
        chosen = completed;
        QFileDialog::accept();
    }

private:
    const FileDialogRequest &m_request;
};
} // namespace

QString QtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList names;
    for (int i = 0; i < parts.size(); i += 2)
        names << parts[i];
    return names.join(QStringLiteral(";;"));
}

QString QtFileDialogs::ask(QWidget *owner, const FileDialogRequest &request)
{
    if (!request.save) {
        QFileDialog dialog(owner, request.title, request.folder, QtNameFilters(request.filter));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        if (!request.fileName.isEmpty())
            dialog.selectFile(request.fileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return QDir::cleanPath(QDir(request.folder).absoluteFilePath(dialog.selectedFiles().first()));
    }
    CheckedSaveDialog dialog(owner, request);
    dialog.setNameFilters(QtNameFilters(request.filter).split(QStringLiteral(";;")));
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.chosen;
}

} // namespace qv
