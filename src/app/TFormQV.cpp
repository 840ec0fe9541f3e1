// TFormQV: the window itself. Menus, views and tab strip, size and place.
#include "app/TFormQV.h"

#include "app/CellTableModel.h"

#include "dialogs/DialogSeam.h"
#include "dialogs/TAboutBox.h"
#include "instrument/QVMeter32.h"
#include "search/widgets/TFormMask.h"

#include <QPrinter>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QWindowStateChangeEvent>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QVBoxLayout>

namespace qv {

namespace {
// The instrument's place in its panel, and the panel's bevel.
constexpr int MeterOffset = 8;
constexpr int PanelBevel = 1;
} // namespace

TFormQV::TFormQV(SettingsStore &settings, const StartLink &start, const SerialPlatform &platform,
                 QWidget *parent, const JournalSetup &journal)
    : QMainWindow(parent), m_settings(settings)
{
    m_language = 1;
    DialogLanguage = LangEnglish;
    CenterOnOwner = true;
    setWindowTitle(QStringLiteral("QV-7xx"));
    setObjectName(QStringLiteral("FormQV"));
    createHistory(platform);
    createViews();
    createMenus();
    createFileCommands();
    createSearchStrip();
    createChartCommands();

    m_meter = new TQVMeter32(PanelMeter, m_language, 1, platform);
    m_meter->move(MeterOffset, MeterOffset);
    wireInstrument();
    wireHistoryEvents();
    wireGrids();

    selectView(ViewMeter);
    sizeWindow();
    prepareGrids();
    placeOnScreen();
    applyStartLink(start);
    readFolders();
    readSearchSettings();
    sizeButtons();
    fitPagesInWindow();
    startJournal(journal);
    ButtonsRefresh();
}

TFormQV::~TFormQV()
{
    shutdown();
    if (m_formMask)
        m_formMask->OnDestroy = nullptr;   // goes with the window's children
    // The models go before the tables they show.
    qApp->removeEventFilter(this);
    delete m_histModel;
    delete m_replyModel;
    delete m_memoModel;
}

void TFormQV::createViews()
{
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    PanelQV = new QFrame(central);
    PanelQV->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PanelQV->setLineWidth(PanelBevel);
    auto *inPanel = new QVBoxLayout(PanelQV);
    inPanel->setContentsMargins(0, 0, 0, 0);   // the frame itself is the bevel
    NoteBook = new QStackedWidget(PanelQV);
    inPanel->addWidget(NoteBook);

    PanelMeter = new QWidget(NoteBook);
    PanelMeter->setObjectName(QStringLiteral("PanelMeter"));
    NoteBook->addWidget(PanelMeter);

    NoteBook->addWidget(createHistoryPage());
    NoteBook->addWidget(createMemoryPage());
    NoteBook->addWidget(createChartPage());

    TabSet = new QTabBar(central);
    TabSet->setObjectName(QStringLiteral("TabSet"));
    TabSet->setShape(QTabBar::RoundedSouth);
    TabSet->setDrawBase(false);
    TabSet->setExpanding(false);
    for (const char *name : {"Meter", "History", "Memory", "Chart"})
        TabSet->addTab(QLatin1String(name));
    connect(TabSet, &QTabBar::currentChanged, this, [this](int i) { selectView(i); });

    column->addWidget(PanelQV, 1);
    column->addWidget(TabSet);
    setCentralWidget(central);
}

void TFormQV::createMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    // The file commands arrive with the history and memory views.
    QMenu *open = file->addMenu(QStringLiteral("Open"));
    // What the file commands do comes with the files; here they are enabled
    // and disabled by their rules.
    MenuOpenHistory = open->addAction(QStringLiteral("History"));
    MenuOpenMemory = open->addAction(QStringLiteral("Memory"));
    QMenu *save = file->addMenu(QStringLiteral("Save"));
    MenuSaveHistory = save->addAction(QStringLiteral("History"));
    MenuSaveResults = save->addAction(QStringLiteral("Searching results"));
    MenuSaveMemory = save->addAction(QStringLiteral("Memory"));
    file->addSeparator();
    QAction *quitSeparator = file->addSeparator();
    MenuQuit = file->addAction(QStringLiteral("Quit"));
    createPrintMenus(file, quitSeparator);
    connect(MenuQuit, &QAction::triggered, this, &QWidget::close);

    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
    const char *views[ViewCount] = {"Meter", "History", "Memory", "Chart"};
    for (int i = 0; i < ViewCount; ++i) {
        QAction *a = view->addAction(QLatin1String(views[i]));
        a->setCheckable(true);
        a->setShortcut(QKeySequence(int(Qt::CTRL) | (Qt::Key_F1 + i)));
        a->setShortcutContext(Qt::ApplicationShortcut);
        connect(a, &QAction::triggered, this, [this, i] { selectView(i); });
        MenuViewItems[i] = a;
    }
    view->addSeparator();
    MenuOperators = view->addAction(QStringLiteral("Search operators description"));
    MenuOperators->setCheckable(true);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    MenuContents = help->addAction(QStringLiteral("Contents"));
    MenuContents->setShortcut(Qt::Key_F1);
    connect(MenuContents, &QAction::triggered, this, [this] {
        repaint();   // the closed menu leaves no trace
        ShowHelp();
    });
    help->addSeparator();
    MenuMeterInfo = help->addAction(QStringLiteral("Meter info"));
    MenuMeterInfo->setEnabled(false);
    connect(MenuMeterInfo, &QAction::triggered, this, [this] { m_meter->ShowInfo(); });
    MenuAbout = help->addAction(QStringLiteral("About"));
    connect(MenuAbout, &QAction::triggered, this, [this] {
        TAboutBox about(this, m_language, 1);
        about.exec();
    });
}

int TFormQV::currentView() const
{
    return NoteBook->currentIndex();
}

void TFormQV::selectView(int index)
{
    if (index < 0 || index >= ViewCount)
        return;
    if (TabSet->currentIndex() != index) {
        TabSet->setCurrentIndex(index);   // comes back here through the tab strip
        return;
    }
    NoteBook->setCurrentIndex(index);
    for (int i = 0; i < ViewCount; ++i)
        MenuViewItems[i]->setChecked(i == index);
    MenuOperators->setVisible(index == ViewHistory);
    if (index != ViewHistory && FormMask())
        MenuFindOperatorsClick();   // leaving the History view closes the operators window
    if (index == ViewMeter && m_meter && QGuiApplication::applicationState() == Qt::ApplicationActive)
        m_meter->setFocus();
    if (index == ViewChart)
        focusChart();   // Home and the wheel act on the chart at once
}

QSize TFormQV::minimumClientSize() const
{
    const int border = 2 * (MeterOffset + PanelBevel);
    return {border + TQVMeter32::Width, border + TQVMeter32::Height + TabSet->height()};
}

void TFormQV::sizeWindow()
{
    const int strip = TabSet->fontMetrics().height() + 4;
    TabSet->setFixedHeight(strip);
    // The style's tabs are taller than the strip: they are fitted to it.
    TabSet->setStyleSheet(QStringLiteral("QTabBar::tab { height: %1px; padding: 0px 10px; }").arg(strip - 2));
    const QSize client = minimumClientSize();
    centralWidget()->setMinimumSize(client);
    const QSize window(client.width(), client.height() + menuBar()->sizeHint().height());
    setMinimumSize(window);
    resize(window);
}

void TFormQV::fitPagesInWindow()
{
    // The History view's buttons and strips need more height than the
    // instrument with this system's fonts: the window grows to show them
    // whole rather than squeezing them.
    NoteBook->ensurePolished();   // the style's sizes, before the window is shown
    for (int i = 0; i < NoteBook->count(); ++i)
        if (QLayout *l = NoteBook->widget(i)->layout())
            l->activate();
    const int pages = NoteBook->minimumSizeHint().height() + 2 * PanelBevel + TabSet->height();
    const QSize client = centralWidget()->minimumSize().expandedTo(QSize(0, pages));
    if (client == centralWidget()->minimumSize())
        return;
    centralWidget()->setMinimumSize(client);
    const QSize window(client.width(), client.height() + menuBar()->sizeHint().height());
    setMinimumSize(window);
    resize(window.expandedTo(size()));
}

void TFormQV::placeOnScreen()
{
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect work = s->availableGeometry();
    const QSize outer = frameGeometry().size();
    move(std::max(work.left(), (work.width() - outer.width()) / 2),
         std::max(work.top(), (work.height() - outer.height()) / 2));
}

bool TFormQV::event(QEvent *event)
{
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent *>(event)->tip();
        PanelHint->setText(QLatin1Char(' ') + tip);
        return true;
    }
    // Polished and laid out, the pages know the height they need.
    if (event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest)
        fitPagesInWindow();
    return QMainWindow::event(event);
}

void TFormQV::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TFormQV::changeEvent(QEvent *event)
{
    // The operators window goes and comes with the main window, which takes
    // the focus back when it is restored.
    if (event->type() == QEvent::WindowStateChange) {
        const bool minimized = windowState() & Qt::WindowMinimized;
        const bool wasMinimized = static_cast<QWindowStateChangeEvent *>(event)->oldState() & Qt::WindowMinimized;
        if (m_formMask)
            m_formMask->setVisible(!minimized);
        if (wasMinimized && !minimized)
            activateWindow();
    }
    QMainWindow::changeEvent(event);
}

void TFormQV::closeEvent(QCloseEvent *event)
{
    shutdown();
    QMainWindow::closeEvent(event);
}

} // namespace qv
