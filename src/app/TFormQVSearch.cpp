// TFormQV: the search strip under the history grid. Fifteen criterion boxes
// follow their columns as the grid scrolls; the search runs over the store
// and copies the matching rows into the results at the end; Esc asks whether
// to stop; the window is kept alive by time, not per row.
#include "app/TFormQV.h"

#include "app/HistoryGrid.h"
#include "search/HistorySearch.h"
#include "search/widgets/SearchLabel.h"
#include "search/widgets/TFormMask.h"
#include "search/widgets/TSearchBX.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace qv {

namespace {
bool appActive()
{
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

const QString BoxName = QStringLiteral("SearchBX");

// Events are processed this often during a search, at most.
constexpr uint32_t EventsEveryMs = 50;

QString settingName(int n)
{
    return QStringLiteral("Search%1").arg(n, 2, 10, QLatin1Char('0'));
}
} // namespace

void TFormQV::createSearchStrip()
{
    QFont small = font();
    small.setPointSize(8);
    PBSBX = new SearchLabel(PanelSearch);
    PBSBX->setFont(small);
    const QString maskHint = QStringLiteral("Shows/hides search operators description");
    PBSBX->setToolTip(maskHint);
    PBSBX->setStatusTip(maskHint);
    PBSBX->onClick = [this] { MenuFindOperatorsClick(); };
    // The boxes lie in an area as wide as the grid's scrolled part, so that
    // those of columns out of view are cut off as the columns are.
    m_boxArea = new QWidget(PanelSearch);
    m_boxArea->setObjectName(QStringLiteral("SearchBoxes"));
    for (int n = 1; n <= hc::Notes; ++n) {
        auto *box = new TSearchBX(m_boxArea);
        box->setObjectName(BoxName + QString::number(n));
        box->setFont(small);
        box->setStyle(ColumnStyle(n));
        const QString hint = QStringLiteral("Search by ") + ColumnSearchWord(n);
        box->setToolTip(hint);
        box->setStatusTip(hint);
        box->OnChange = [this](TSearchBX *b, const TResult &r) { SearchBXChange(b, r); };
        box->OnEnter = [this](TSearchBX *b) { SearchBXEnter(b); };
    }
    const int height = SBX(1)->height() + 1;
    PanelSearch->setFixedHeight(height);
    PanelBtnQ->setFixedHeight(height);
    m_store->onResultsChanged = [this] { CreateHintReply(); };
    m_store->searchBoxWidth = [this](int column) {
        const TSearchBX *box = SBX(column);
        return box ? box->neededWidth() : 0;
    };

    BtnOFF = new QPushButton(QStringLiteral("Clear"), PanelBtnQ);
    BtnOFF->setObjectName(QStringLiteral("BtnOFF"));
    BtnOFF->setToolTip(QStringLiteral("Clears all search criterias"));
    BtnOFF->setStatusTip(BtnOFF->toolTip());
    auto *q = new QVBoxLayout(PanelBtnQ);
    q->setContentsMargins(4, 0, 4, 0);
    q->addWidget(BtnOFF, 0, Qt::AlignCenter);

    BtnSearch = new QPushButton(QStringLiteral("Search"), PanelBtnR);
    BtnSearch->setObjectName(QStringLiteral("BtnSearch"));
    BtnSearch->setToolTip(QStringLiteral("Searchs measures in history"));
    BtnSearch->setStatusTip(BtnSearch->toolTip());
    CBAutoSearch = new QCheckBox(QStringLiteral("Auto"), PanelBtnR);
    CBAutoSearch->setObjectName(QStringLiteral("CBAutoSearch"));
    CBAutoSearch->setToolTip(QStringLiteral("Searchs entire history after changing search criterias"));
    CBAutoSearch->setStatusTip(CBAutoSearch->toolTip());
    RB_and = new QRadioButton(QStringLiteral("and"), PanelBtnR);
    RB_and->setObjectName(QStringLiteral("RB_and"));
    RB_and->setChecked(true);
    RB_or = new QRadioButton(QStringLiteral("or"), PanelBtnR);
    RB_or->setObjectName(QStringLiteral("RB_or"));
    auto *r = new QVBoxLayout(PanelBtnR);
    r->setContentsMargins(4, 4, 4, 4);
    r->addWidget(BtnSearch);
    r->addWidget(CBAutoSearch);
    r->addWidget(RB_and);
    r->addWidget(RB_or);
    r->addStretch(1);
    for (QWidget *w : std::initializer_list<QWidget *>{BtnOFF, BtnSearch, CBAutoSearch, RB_and, RB_or}) {
        w->setFont(small);
        w->setFocusPolicy(Qt::TabFocus);
    }

    connect(BtnSearch, &QPushButton::clicked, this, [this] { BtnSearchClick(); });
    connect(BtnOFF, &QPushButton::clicked, this, [this] { BtnOFFClick(); });
    connect(RB_and, &QRadioButton::clicked, this, [this] { RBClick(); });
    connect(RB_or, &QRadioButton::clicked, this, [this] { RBClick(); });
    connect(SGHist, &HistoryGrid::horizontallyScrolled, this, [this] { placeSearchBoxes(); });
    connect(MenuOperators, &QAction::triggered, this, [this] { MenuFindOperatorsClick(); });
}

TSearchBX *TFormQV::SBX(int n) const
{
    return m_boxArea ? m_boxArea->findChild<TSearchBX *>(BoxName + QString::number(n), Qt::FindDirectChildrenOnly)
                     : nullptr;
}

void TFormQV::placeSearchBoxes()
{
    if (!m_boxArea || !SGHist)
        return;
    QWidget *viewport = SGHist->viewport();
    const int left = PanelSearch->mapFromGlobal(viewport->mapToGlobal(QPoint(0, 0))).x();
    PBSBX->setGeometry(0, 0, std::max(left, 0), PanelSearch->height());
    m_boxArea->setGeometry(left, 0, viewport->width(), PanelSearch->height());
    for (int n = 1; n <= hc::Notes; ++n) {
        TSearchBX *box = SBX(n);
        const int x = SGHist->columnViewportPosition(n);
        const int w = SGHist->columnWidth(n);
        box->setGeometry(x, 0, w, box->height());
        box->setVisible(x >= 0 && w > 0);
    }
}

void TFormQV::readSearchSettings()
{
    if (!m_settings.exists())
        return;
    for (int n = 1; n <= hc::Notes; ++n)
        if (const auto v = m_settings.value(settingName(n)))
            SBX(n)->TextDefault = v->toString();
}

void TFormQV::writeSearchSettings()
{
    for (int n = 1; n <= hc::Notes; ++n)
        if (const TSearchBX *box = SBX(n))
            m_settings.setValue(settingName(n), box->TextDefault);
}

void TFormQV::emptyReply()
{
    RowSelectedOFF();
    if (!m_store->ReplyOK() && SGReply->toolTip().isEmpty())
        return;   // already empty: emptied once
    m_store->reply().reset();
    SGReply->setToolTip({});
    SGReply->setStatusTip({});
}

bool TFormQV::autoSearchAllowed() const
{
    return !SuppressAutoSearch && BtnSearch->isEnabled() && CBAutoSearch->isChecked();
}

void TFormQV::BtnSearchClick()
{
    SetBusyCursor(Qt::WaitCursor);
    SearchBusy = true;
    ButtonsRefresh();
    emptyReply();

    std::vector<Criterion> criteria;
    for (int n = 1; n <= hc::Notes; ++n) {
        const TSearchBX *box = SBX(n);
        if (box->Index() > 0)
            criteria.push_back(MakeCriterion(n, box->Index(), box->Style(), box->Result));
    }
    const HistorySearch search(criteria, RB_or->isChecked());
    InProgress = true;
    int shown = -1;
    uint32_t eventsAt = m_clock->ticks();
    const auto progress = [&](int done, int total) {
        if (total <= 0)
            return true;
        const uint32_t now = m_clock->ticks();
        if (tickReached(now, eventsAt + EventsEveryMs)) {
            eventsAt = now;
            QApplication::processEvents();
        }
        if (!InProgress && done < total) {
            const QString question = QStringLiteral("Checked %1% of history\r\nAbort?").arg(qRound(done * 100.0 / total));
            if (AskYesNo(this, question, QStringLiteral("QV-7xx"), IconQuestion, 1))
                return false;
            InProgress = true;
        }
        const int p = qRound(done * 100.0 / total);
        if (p != shown) {
            shown = p;
            PanelHint->setText(QStringLiteral(" %1%").arg(p));
            PanelHint->repaint();
        }
        return true;
    };
    const std::vector<int> found = search.run(m_store->hist(), m_store->HistRows(), progress);
    CopyResults(m_store->hist(), found, m_store->reply());
    InProgress = false;

    if (appActive() && SGReply->isVisible() && SGReply->isEnabled()) {
        SGReply->setFocus();
        SGReply->setCurrentCell(0, 1);
    }
    CreateHintReply();
    SearchBusy = false;
    ButtonsRefresh();
    SetBusyCursor(Qt::ArrowCursor);
}

void TFormQV::CreateHintReply()
{
    const QString text = ResultText(m_store->ReplyOK() ? m_store->reply().rowCount() : 0);
    setHint(text);
    SGReply->setToolTip(text);
    SGReply->setStatusTip(text);
}

void TFormQV::BtnOFFClick()
{
    SuppressAutoSearch = true;
    for (int n = 1; n <= hc::Notes; ++n) {
        TSearchBX *box = SBX(n);
        box->setEnabled(false);
        box->setIndex(0);
        box->setEnabled(true);
    }
    CriteriaOn = false;
    if (CBAutoSearch->isChecked()) {
        emptyReply();
        ButtonsRefresh();
    }
    SuppressAutoSearch = false;
}

void TFormQV::SearchBXChange(TSearchBX *sender, const TResult &)
{
    CriteriaOn = false;
    for (int n = 1; n <= hc::Notes && !CriteriaOn; ++n)
        CriteriaOn = SBX(n)->Index() > 0;
    if (!CriteriaOn && CBAutoSearch->isChecked())
        emptyReply();
    if (!m_store->Copying) {
        bool ok = false;
        const int column = sender->objectName().mid(BoxName.size()).toInt(&ok);
        if (ok)
            m_store->SetHistColWidths(column);
    }
    ButtonsRefresh();
    if (autoSearchAllowed())
        BtnSearchClick();
}

void TFormQV::RBClick()
{
    if (autoSearchAllowed())
        BtnSearchClick();
}

void TFormQV::SearchBXEnter(TSearchBX *sender)
{
    // The number after the name's letters.
    const QString name = sender->objectName();
    int i = 0;
    while (i < name.size() && name[i].isLetter())
        ++i;
    bool ok = false;
    const int column = name.mid(i).toInt(&ok);
    if (!ok)
        return;
    m_linking = true;
    for (HistoryGrid *grid : {SGHist, SGReply}) {
        const QModelIndex at = grid->currentIndex();
        grid->setCurrentIndex(grid->model()->index(at.isValid() ? at.row() : 0, column));
    }
    m_linking = false;
}

void TFormQV::MenuFindOperatorsClick()
{
    if (m_formMask) {
        delete m_formMask;   // tells FormHelpMaskDestroy where it was
        return;
    }
    m_formMask = new TFormMask(this, m_language);
    m_formMask->OnDestroy = [this](QPoint at) { FormHelpMaskDestroy(at); };
    if (!m_maskPos) {
        const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
        const QRect work = s ? s->availableGeometry() : QRect(QPoint(0, 0), QSize(1 << 16, 1 << 16));
        m_maskPos = FirstMaskPosition(frameGeometry(), m_formMask->frameGeometry().size(), work);
    }
    m_formMask->move(*m_maskPos);
    m_formMask->show();
    MenuOperators->setChecked(true);
}

void TFormQV::FormHelpMaskDestroy(QPoint topLeft)
{
    m_maskPos = topLeft;
    m_formMask = nullptr;
    MenuOperators->setChecked(false);
}

} // namespace qv
