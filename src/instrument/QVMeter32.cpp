// TQVMeter32: construction, layout, the looks of the title and the panels,
// the wiring of the core's events, the link status.
#include "instrument/QVMeter32.h"

#include "dialogs/AboutContacts.h"
#include "dialogs/DialogSeam.h"
#include "dialogs/UrlOpener.h"
#include "instrument/LcdView.h"
#include "instrument/MeterWindows.h"
#include "instrument/QVKeypad.h"
#include "instrument/QVStatusBar.h"
#include "instrument/TransmissionFrame.h"
#include "instrument/Transparent.h"
#include "qvres/ResourceData.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace qv {

namespace {

constexpr int TitleHeight = 13;
constexpr int LogoWidth = 66;
constexpr int FrameGap = 8;
// The sunken frames around the LCD, outermost first.
constexpr QRect kLcdFrames[] = {{53, 24, 296, 168}, {67, 38, 268, 140}, {68, 39, 266, 138}};

QPixmap logoPicture(uint8_t edition)
{
    return withTransparentBackground(
        res::image(edition == 1 ? QStringLiteral("QVLOGOJUX") : QStringLiteral("QVLOGOTAMBRIX")));
}

bool appActive()
{
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

} // namespace

TQVMeter32::TQVMeter32(QWidget *owner, uint8_t language, uint8_t edition, const SerialPlatform &platform)
    : QWidget(owner), m_language(language), m_edition(edition),
      m_clock(platform.clock ? *platform.clock : systemClock()),
      m_comm(std::make_unique<TComm32QV>(language, platform)),
      m_core(std::make_unique<MeterCore>(*m_comm, language, edition, m_clock,
                                         platform.timers ? *platform.timers : qtTimers())),
      m_typer(std::make_unique<KeyTyper>(*m_comm, platform.timers ? *platform.timers : qtTimers(), m_clock)),
      m_warning(*m_comm, language), m_port(noneName(language)),
      m_caption(QStringLiteral("K-7xx / QV-7xx"))
{
    if (language == 1)
        DialogLanguage = LangEnglish;
    beep = [] { QApplication::beep(); };
    setObjectName(QStringLiteral("QVMeter"));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(11);
    setFont(f);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_KeyCompression, false);

    createTitle();
    createFrames();
    m_keypad = std::make_unique<QVKeypad>(this, language);
    m_keypad->onPress = [this](MeterKey k) { PressKey(k); };
    m_keypad->onHover = [this](MeterKey k, bool entered) { keyHover(k, entered); };
    m_transmission = new TransmissionFrame(this, language);
    m_statusBar = new QVStatusBar(this, language);
    layOut();

    for (QWidget *w : {static_cast<QWidget *>(baudBox()), static_cast<QWidget *>(portBox()),
                       static_cast<QWidget *>(offButton()), static_cast<QWidget *>(searchButton())})
        w->installEventFilter(this);
    connect(baudBox(), qOverload<int>(&QComboBox::activated), this, [this](int i) { baudBoxChosen(i); });
    connect(portBox(), qOverload<int>(&QComboBox::activated), this, [this](int i) { portBoxChosen(i); });
    connect(offButton(), &QPushButton::clicked, this, [this] { turnOffClicked(); });
    connect(searchButton(), &QPushButton::clicked, this, [this] { searchClicked(); });

    wireCore();
    m_lcd->setImage(m_core->lcdImage());

    // What streaming in the stored properties did: the boxes filled, the
    // values applied.
    baudBox()->setCurrentIndex(BaudRate() - br001200);
    fillPortBox();
    setBaudRate(BaudRate());
    setPort(m_port);
}

TQVMeter32::~TQVMeter32()
{
    m_comm->OnPortListChange = nullptr;
    m_typer.reset();
    m_core.reset();
    m_comm.reset();
}

void TQVMeter32::createTitle()
{
    QFont bold = font();
    bold.setBold(true);
    m_titleShadow = new QLabel(m_caption, this);
    m_title = new QLabel(m_caption, this);
    for (QLabel *l : {m_titleShadow, m_title}) {
        l->setFont(bold);
        l->setAttribute(Qt::WA_TranslucentBackground);
        l->installEventFilter(this);
    }
    QPalette white = m_titleShadow->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    m_titleShadow->setPalette(white);
    m_logo = new QLabel(this);
    m_logo->setObjectName(QStringLiteral("Logo"));
    m_logo->setCursor(Qt::PointingHandCursor);
    m_logo->installEventFilter(this);
    repaintLogo();
}

void TQVMeter32::createFrames()
{
    for (const QRect &r : kLcdFrames) {
        auto *frame = new QFrame(this);
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame->setGeometry(r);
    }
    m_lcd = new LcdView(this);
    m_lcd->move(LcdPos);
    m_lcd->onClick = [this](QPointF at) { lcdClicked(at); };
    m_lcd->onDoubleClick = [this](QPointF at) { lcdDoubleClicked(at); };
}

void TQVMeter32::layOut()
{
    setFixedSize(Width, Height);
    const int titleWidth = Width - LogoWidth;
    m_titleShadow->setGeometry(0, 0, titleWidth, TitleHeight);
    m_title->setGeometry(1, 1, titleWidth, TitleHeight);
    m_titleShadow->setVisible(m_caption3D);
    m_logo->setGeometry(Width - LogoWidth, (TitleHeight - 14) / 2, LogoWidth, 14);

    m_statusBar->move(0, Height - QVStatusBar::Height);
    m_statusBar->layOut(Width);
    const int frameWidth = m_statusBar->statusPanelWidth();
    const int frameTop = kLcdFrames[0].bottom() + 1 + FrameGap;
    const int frameBottom = Height - QVStatusBar::Height - FrameGap;
    m_transmission->layOut(QRect(Width - frameWidth, frameTop, frameWidth, frameBottom - frameTop));
    m_keypad->layOut(Width - frameWidth);
}

void TQVMeter32::repaintLogo()
{
    m_logo->setPixmap(logoPicture(m_edition));
}

void TQVMeter32::setCaption(const QString &caption)
{
    m_caption = caption;
    m_title->setText(caption);
    m_titleShadow->setText(caption);
}

void TQVMeter32::setCaption3D(bool on)
{
    m_caption3D = on;
    m_titleShadow->setVisible(on);
}

TQVBitBtn *TQVMeter32::keyButton(MeterKey key) const { return m_keypad->button(key); }
QComboBox *TQVMeter32::baudBox() const { return m_transmission->baudBox(); }
QComboBox *TQVMeter32::portBox() const { return m_transmission->portBox(); }
QPushButton *TQVMeter32::offButton() const { return m_transmission->offButton(); }
QPushButton *TQVMeter32::searchButton() const { return m_transmission->searchButton(); }

QUrl TQVMeter32::webAddress(uint8_t edition)
{
    return aboutContacts(edition, 1).web;
}

// The core's events: what the window shows itself, then the owner's events.
// Each forwarder reads the owner's handler when it is raised, so the owner
// may assign it at any time.
void TQVMeter32::wireCore()
{
    MeterCore &c = *m_core;
    c.OnLcdChanged = [this] { m_lcd->setImage(m_core->lcdImage()); };
    c.OnProbeText = [this](const QString &text, bool red) { m_statusBar->setProbe(text, red); };
    c.OnStatus = [this](int code, const QString &text) { showStatus(code, text); };
    c.OnSelectionContinue = [this] { continueSelection(); };
    c.OnSelectionCancel = [this] { m_selection.cancel(); };
    c.OnReceiveInfo = [this](const TDataInfoQV &info) {
        if (OnReceiveInfo)
            OnReceiveInfo(info);
    };
    c.OnReceiveInfoMeter = [this](const TInfoMeterQV &ident) {
        if (OnReceiveInfoMeter)
            OnReceiveInfoMeter(ident);
    };
    c.OnReceiveMeas = [this](const TDataMeasQV &meas) {
        if (OnReceiveMeas)
            OnReceiveMeas(meas);
    };
    c.OnReceiveMemo = [this](const uint8_t *buf, uint32_t size) {
        // The download the open question was about is over.
        m_warning.close();
        if (OnReceiveMemo)
            OnReceiveMemo(buf, size);
    };
    auto forward = [](TComm32VN::TNotify &handler) {
        return [&handler] {
            if (handler)
                handler();
        };
    };
    c.OnStartMeas = forward(OnStartMeas);
    c.OnStopMeas = forward(OnStopMeas);
    c.OnMeterON = forward(OnMeterON);
    c.OnMeterOFF = forward(OnMeterOFF);
    m_comm->OnPortListChange = [this] { portListChanged(); };
}

void TQVMeter32::showStatus(int code, const QString &text)
{
    if (code != stConnected && m_comm->InMemoryTransfer())
        m_warning.close();
    m_statusBar->setStatus(text, statusColour(code));
    // Why the port could not be used (the dialout group, another program...).
    m_statusBar->setToolTip(code >= stBusy ? m_comm->LastErrorHint() : QString());
    if (SoundError && code > stDisconnected && beep)
        beep();
    redrawKeyHint();
    if (OnStatus)
        OnStatus(code, text);
}

void TQVMeter32::ShowInfo()
{
    const ScreenRecords &rec = m_core->records();
    if (rec.identReceived) {
        showMeterInfo(this, m_language, rec.ident, rec.info);
        return;
    }
    QWidget *main = window();
    if (!appActive() || !main || main == this)
        return;
    QString text;
    if (m_language == 0)
        text = QStringLiteral("Brak danych odczytanych z przyrządu.\r\n\r\n"
                              "1. Podłącz miernik do gniazda RS232 komputera.\r\n"
                              "2. Wybierz właściwy port komunikacji oraz prędkość\r\n"
                              "    transmisji danych w panelu 'Ustawienia transmisji'.\r\n"
                              "3. Możesz również wyszukać miernik automatycznie.\r\n"
                              "    W tym celu: \r\n"
                              "    - wybierz port: ") +
               noneName(0) + QStringLiteral("\r\n") + QStringLiteral("    - użyj klawisza: ") +
               QStringLiteral("Szukaj");
    else
        text = QStringLiteral("No data received from meter.\r\n\r\n1. Connect meter to PC.\r\n"
                              "2. Check serial port settings.");
    ShowInfoBox(main, text, main->windowTitle(), IconWarning);
}

void TQVMeter32::returnFocus()
{
    if (appActive())
        setFocus();
}

bool TQVMeter32::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == m_title || watched == m_titleShadow) {
            setFocus();
            if (InternalCaptionClick)
                ShowInfo();
            else if (OnCaptionClick)
                OnCaptionClick();
            return true;
        }
        if (watched == m_logo) {
            setFocus();
            if (InternalLogoClick)
                openUrl(webAddress(m_edition));
            else if (OnLogoClick)
                OnLogoClick();
            return true;
        }
    }
    // The boxes and buttons hand the keyboard back to the instrument.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Shift && key != Qt::Key_Control && key != Qt::Key_Alt && key != Qt::Key_Meta &&
            (watched == baudBox() || watched == portBox() || watched == offButton() ||
             watched == searchButton())) {
            setFocus();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TQVMeter32::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        repaintLogo();
    QWidget::changeEvent(event);
}

} // namespace qv
