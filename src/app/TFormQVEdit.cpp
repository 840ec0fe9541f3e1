// TFormQV: what the user does in the grids: comments, deleting rows and the
// whole history, the link between a search result and its history row, the
// hints, Esc.
#include "app/TFormQV.h"

#include "app/CellTableModel.h"
#include "app/HistoryGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>

#include <algorithm>

namespace qv {

namespace {
bool appActive()
{
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

QString cellText(const CellTable &t, int row, int column)
{
    return t.cell(row, column);
}
} // namespace

void TFormQV::wireGrids()
{
    m_histModel->editableColumn = hc::Comment;
    m_histModel->onEdit = [this](int row, const QString &text) { m_store->setComment(row, text); };
    SGHist->markedRow = [this] { return m_store->MarkedRow; };
    SGHist->deleteRow = [this] { return m_store->DeleteRow; };
    SGHist->onKey = [this](QKeyEvent *e) { return histKey(e); };
    SGReply->onKey = [this](QKeyEvent *e) { return replyKey(e); };

    auto *delegate = static_cast<GridDelegate *>(SGHist->itemDelegate());
    delegate->onEditor = [this](QLineEdit *edit) {
        setHint({});
        CommentBefore = cellText(m_store->hist(), SGHist->currentIndex().row(), hc::Comment);
        EditingComment = true;
        CommentChanged = false;
        connect(edit, &QLineEdit::textChanged, this, [this](const QString &text) {
            CommentChanged = text != CommentBefore;
            // The column widens as the comment grows, in both grids.
            CellTable &hist = m_store->hist();
            const int w = hist.fitWidth(CellBytes(text).toStdString());
            if (w > hist.columnWidth(hc::Comment))
                hist.widenColumn(hc::Comment, w);
        });
    };
    connect(delegate, &QAbstractItemDelegate::closeEditor, this, [this](QWidget *, QAbstractItemDelegate::EndEditHint) {
        EditingComment = false;
        RefreshComment();
    });
    connect(SGHist, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &) { startCommentEdit(); });

    connect(SGHist->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &now, const QModelIndex &before) {
                if (before.isValid() && before.row() != now.row())
                    RefreshComment();
                if (SGHist->hasFocus() && now.isValid() && !m_linking) {
                    m_linking = true;
                    const QModelIndex there = SGReply->currentIndex();
                    SGReply->setCurrentIndex(m_replyModel->index(there.isValid() ? there.row() : 0, now.column()));
                    m_linking = false;
                }
                gridHint();
            });
    connect(SGReply->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &now, const QModelIndex &) {
                if (!SGReply->hasFocus() || !now.isValid() || m_linking)
                    return;
                m_linking = true;
                const QModelIndex here = SGHist->currentIndex();
                SGHist->setCurrentIndex(m_histModel->index(here.isValid() ? here.row() : 0, now.column()));
                m_linking = false;
                SelectRowHistory(now.row());
            });
    // Both grids scroll sideways together; a selected column scrolled out of
    // sight gives way to the nearest one in sight.
    auto keepInSight = [](HistoryGrid *grid) {
        const QModelIndex at = grid->currentIndex();
        if (!at.isValid())
            return;
        const int first = grid->columnAt(0);
        const int last = grid->columnAt(grid->viewport()->width() - 1);
        if (first < 0)
            return;
        const int column = std::clamp(at.column(), first, last < 0 ? at.column() : last);
        if (column != at.column())
            grid->setCurrentIndex(grid->model()->index(at.row(), column));
    };
    auto follow = [this, keepInSight](HistoryGrid *from, HistoryGrid *to) {
        connect(from->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this, from, to, keepInSight](int v) {
            if (m_linking)
                return;
            m_linking = true;
            to->horizontalScrollBar()->setValue(v);
            keepInSight(from);
            keepInSight(to);
            m_linking = false;
        });
    };
    follow(SGHist, SGReply);
    follow(SGReply, SGHist);
    SGHist->onFocus = [this](bool in) {
        if (in) {
            RowSelectedOFF();
            if (SGHist->currentIndex().isValid())
                SGHist->scrollTo(SGHist->currentIndex());
            gridHint();
        } else {
            RefreshComment();
        }
    };
    SGReply->onFocus = [this](bool in) {
        if (in && SGReply->currentIndex().isValid()) {
            SGReply->scrollTo(SGReply->currentIndex());
            SelectRowHistory(SGReply->currentIndex().row());
        }
    };
    qApp->installEventFilter(this);
}

bool TFormQV::eventFilter(QObject *watched, QEvent *event)
{
    // The criterion boxes follow the grid's columns.
    if (event->type() == QEvent::Resize && SGHist && (watched == PanelSearch || watched == SGHist->viewport()))
        placeSearchBoxes();
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        auto *w = qobject_cast<QWidget *>(watched);
        if (w && w->window() == this)
            InProgress = false;   // a running load, save or search asks whether to stop
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TFormQV::histKey(QKeyEvent *event)
{
    if (SGHist->editing())
        return false;   // the comment editor's keys
    switch (event->key()) {
    case Qt::Key_Delete:
        deleteCurrentRow();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
        return startCommentEdit();
    default:
        return false;
    }
}

bool TFormQV::replyKey(QKeyEvent *)
{
    return false;
}

void TFormQV::gridHint()
{
    QString hint;
    const QModelIndex at = SGHist->currentIndex();
    if (SGHist->hasFocus() && at.isValid() && m_store->HistOK() && !autosaveRunning())
        hint = at.column() == hc::Comment ? QStringLiteral("Press <Enter> or <F2> to edit.")
                                         : QStringLiteral("Press <Del> to delete current row.");
    setHint(hint);
    SGHist->setToolTip(hint);
    SGHist->setStatusTip(hint);
}

bool TFormQV::startCommentEdit()
{
    const QModelIndex at = SGHist->currentIndex();
    if (autosaveRunning() || !m_store->HistOK() || !at.isValid() || at.column() != hc::Comment)
        return false;
    SGHist->edit(at);
    return true;
}

void TFormQV::RefreshComment()
{
    if (!CommentChanged)
        return;
    CommentChanged = false;
    const QModelIndex at = SGHist->currentIndex();
    if (at.isValid())
        CommentBefore = cellText(m_store->hist(), at.row(), hc::Comment);
    m_store->SetHistColWidths(hc::Comment);
}

void TFormQV::deleteCurrentRow()
{
    const QModelIndex at = SGHist->currentIndex();
    if (autosaveRunning() || EditingComment || !m_store->HistOK() || !at.isValid())
        return;
    const int row = at.row();
    if (m_store->AskDelete) {
        const CellTable &hist = m_store->hist();
        const QString labels[3] = {QStringLiteral("Number:"), QStringLiteral("Date/time:"),
                                   QStringLiteral("Comment:")};
        const QString comment = cellText(hist, row, hc::Comment);
        const QString values[3] = {cellText(hist, row, hc::Label),
                                   cellText(hist, row, hc::Date) + QLatin1Char(' ') + cellText(hist, row, hc::Time),
                                   comment.isEmpty() ? QStringLiteral("<none>") : QLatin1Char('\'') + comment + QLatin1Char('\'')};
        // The labels take the same width, so the values line up.
        const QFontMetrics fm(font());
        int widest = 0;
        for (const QString &l : labels)
            widest = std::max(widest, fm.horizontalAdvance(l));
        QStringList lines;
        for (int i = 0; i < 3; ++i) {
            QString l = labels[i];
            while (fm.horizontalAdvance(l + QLatin1Char(' ')) <= widest)
                l += QLatin1Char(' ');
            lines << l + QStringLiteral(" \t") + values[i];
        }
        const QString text = QStringLiteral("Delete current sample:\r\n") + lines.join(QStringLiteral("\r\n"));
        m_store->DeleteRow = row;
        SGHist->viewport()->update();
        bool always = m_store->AskDelete;
        const bool yes = AskChoiceCheck(this, ConfirmDialog, text, IconQuestion, always, false, false,
                                        QStringLiteral("Always show this window"),
                                        QStringLiteral("QV-7xx ... Delete"));
        m_store->AskDelete = always;
        m_store->DeleteRow = -1;
        SGHist->viewport()->update();
        if (!yes) {
            if (appActive())
                SGHist->setFocus();
            return;
        }
    }
    deleteRowAsked(row);
}

void TFormQV::deleteRowAsked(int row)
{
    const bool wasCopying = m_store->Copying;
    m_store->Copying = true;
    ButtonsRefresh();
    SetBusyCursor(Qt::WaitCursor);
    m_store->HistDeleteRow(row);
    SetBusyCursor(Qt::ArrowCursor);
    m_store->Copying = wasCopying;
    afterDelete();
}

void TFormQV::afterDelete()
{
    ButtonsRefresh();
    if (appActive())
        SGHist->setFocus();
}

void TFormQV::BtnDelClick()
{
    if (autosaveRunning() || !m_store->HistOK())
        return;
    setHint({});
    if (!AskYesNoHeld(this, ConfirmDialog, QStringLiteral("Delete history?"), IconQuestion,
                      QStringLiteral("QV-7xx ... Delete"))) {
        if (appActive())
            SGHist->setFocus();
        return;
    }
    const bool wasCopying = m_store->Copying;
    m_store->Copying = true;
    m_store->HistDeleteAll();
    m_store->Copying = wasCopying;
    afterDelete();
}

void TFormQV::RowSelectedOFF()
{
    if (m_store->MarkedRow < 0)
        return;
    m_store->MarkedRow = -1;
    SGHist->viewport()->update();
}

void TFormQV::SelectRowHistory(int resultRow)
{
    if (autosaveRunning() || !m_store->ReplyOK() || resultRow < 0 || resultRow >= m_store->reply().rowCount())
        return;
    const std::string id(m_store->reply().cellView(resultRow, hc::Id));
    const int row = m_store->findHistRowById(id);
    const int before = m_store->MarkedRow;
    RowSelectedOFF();
    if (row >= 0 && row != before) {
        m_linking = true;
        SGHist->setCurrentCell(row);
        m_linking = false;
        m_store->MarkedRow = row;
        SGHist->viewport()->update();
    }
}

} // namespace qv
