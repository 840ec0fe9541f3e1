#include "instrument/TFormAutoCOM.h"

#include "dialogs/DialogSeam.h"
#include "meter/MeterSearchTexts.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QtMath>

namespace qv {

namespace {

constexpr int FormWidth = 301;
constexpr int FormHeight = 286;
constexpr int Margin = 16;
constexpr int ImageSize = 32;
constexpr int AnimationFrames = 8;
const QRect ButtonRect(113, 244, 75, 25);

// One picture of the search animation: eight dots on a circle, the lit one
// moving on by one place each frame with a fading trail behind it.
QPixmap animationFrame(int frame)
{
    QImage image(ImageSize, ImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QPointF centre(ImageSize / 2.0, ImageSize / 2.0);
    for (int k = 0; k < AnimationFrames; ++k) {
        const int age = (frame - k + AnimationFrames) % AnimationFrames;
        const double angle = 2 * M_PI * k / AnimationFrames - M_PI / 2;
        const QPointF at = centre + QPointF(std::cos(angle), std::sin(angle)) * 11.5;
        p.setBrush(QColor(0, 0, 128, 255 - age * 28));
        p.drawEllipse(at, 3.2, 3.2);
    }
    p.end();
    return QPixmap::fromImage(image);
}

// The caption of the program's main window, which the search window's
// title continues.
QString mainCaption(QWidget *parent)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow *>(w))
            return w->windowTitle();
    }
    if (parent)
        return parent->window()->windowTitle();
    return QGuiApplication::applicationDisplayName();
}

} // namespace

TFormAutoCOM::TFormAutoCOM(QWidget *parent, uint8_t language, TBaudRate /*baudRate*/,
                           const QStringList &ports, const SerialPlatform &platform,
                           const SearchTiming &timing, MeterSearch::ProbeOpener opener)
    : QDialog(parent), m_language(language)
{
    setObjectName(QStringLiteral("FormAutoCOM"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(FormWidth, FormHeight);
    QFont f = font();
    f.setPixelSize(13);
    setFont(f);
    setWindowTitle(mainCaption(parent) + searchtext::titleSuffix(language));

    m_panels = new QStackedWidget(this);
    m_panels->setGeometry(0, 0, FormWidth, FormHeight);
    auto *searchPanel = new QWidget(m_panels);
    auto *resultPanel = new QWidget(m_panels);
    buildSearchPanel(searchPanel);
    buildResultPanel(resultPanel);
    m_panels->addWidget(searchPanel);
    m_panels->addWidget(resultPanel);

    m_search = std::make_unique<MeterSearch>(language, ports, platform, timing, std::move(opener));
    m_search->OnTick = [this] { nextFrame(); };
    m_search->OnMeterFound = [this](const MeterSearch::Result &r) { onMeterFound(r); };
    m_search->OnFinished = [this](MeterSearch::Outcome o) { onFinished(o); };

    QStringList lines;
    for (int i = 0; i < m_search->PortCount(); ++i)
        lines << m_search->PortName(i);
    MemoPorts->setPlainText(lines.join(QLatin1Char('\n')));
    showInfo();
    nextFrame();
    if (m_search->PortCount() == 0)
        ShowInfoBox(parent, searchtext::noPorts(language), windowTitle(), IconWarning);
}

TFormAutoCOM::~TFormAutoCOM()
{
    // The search raises no events into a half-destroyed window.
    m_search->OnTick = nullptr;
    m_search->OnMeterFound = nullptr;
    m_search->OnFinished = nullptr;
}

void TFormAutoCOM::buildSearchPanel(QWidget *panel)
{
    ImageSearch = new QLabel(panel);
    ImageSearch->setGeometry(Margin, Margin, ImageSize, ImageSize);

    LabelInfo = new QLabel(panel);
    LabelInfo->setTextFormat(Qt::PlainText);
    LabelInfo->setWordWrap(true);

    MemoPorts = new QPlainTextEdit(panel);
    MemoPorts->setReadOnly(true);
    MemoPorts->setFrameShape(QFrame::NoFrame);
    MemoPorts->setBackgroundRole(QPalette::Window);
    MemoPorts->viewport()->setBackgroundRole(QPalette::Window);
    MemoPorts->setFocusPolicy(Qt::NoFocus);
    MemoPorts->setGeometry(Margin, 64, FormWidth - 2 * Margin, 168);

    BtnStop = new QPushButton(searchtext::stopCaption(m_language), panel);
    BtnStop->setGeometry(ButtonRect);
    connect(BtnStop, &QPushButton::clicked, this, [this] { m_search->Stop(); });
}

void TFormAutoCOM::buildResultPanel(QWidget *panel)
{
    LabelChoose = new QLabel(searchtext::chooseCaption(m_language), panel);
    LabelChoose->setGeometry(Margin, Margin, FormWidth - 2 * Margin, 20);

    ListBoxCOM = new QListWidget(panel);
    QFont bold = ListBoxCOM->font();
    bold.setBold(true);
    ListBoxCOM->setFont(bold);
    ListBoxCOM->setGeometry(Margin, 40, FormWidth - 2 * Margin, 192);
    // A double click anywhere on the list, not only on an item, chooses.
    ListBoxCOM->viewport()->installEventFilter(this);

    BtnOK = new QPushButton(QStringLiteral("OK"), panel);
    BtnOK->setGeometry(ButtonRect);
    connect(BtnOK, &QPushButton::clicked, this, [this] { closeWithChoice(); });
}

void TFormAutoCOM::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // After the window has appeared: opening many ports takes a moment.
    QMetaObject::invokeMethod(this, [this] { m_search->Start(); }, Qt::QueuedConnection);
}

// The label sits right of the animation, centred on it vertically.
void TFormAutoCOM::showInfo()
{
    QString text = m_search->InfoText();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    LabelInfo->setText(text);
    const int left = Margin + ImageSize + Margin;
    const int width = FormWidth - left - Margin;
    const int height = LabelInfo->heightForWidth(width);
    LabelInfo->setGeometry(left, Margin + ImageSize / 2 - height / 2, width, height);
}

void TFormAutoCOM::nextFrame()
{
    ImageSearch->setPixmap(animationFrame(m_frame));
    m_frame = (m_frame + 1) % AnimationFrames;
}

void TFormAutoCOM::onMeterFound(const MeterSearch::Result &result)
{
    ListBoxCOM->clear();
    ListBoxCOM->addItems(m_search->ResultItems());
    MemoPorts->appendPlainText(QString::fromLatin1(BaudRateNames[result.rate]) + QLatin1Char('\t')
                               + result.port);
    showInfo();
}

void TFormAutoCOM::onFinished(MeterSearch::Outcome outcome)
{
    switch (outcome) {
    case MeterSearch::Outcome::NoMeter:
        if (!m_search->Stopped()) {
            hide();
            ShowInfoBox(parentWidget(), searchtext::notFound(m_language), windowTitle(), IconWarning);
        }
        done(Rejected);
        break;
    case MeterSearch::Outcome::OneMeter:
        ListBoxCOM->setCurrentRow(0);
        done(Accepted);
        break;
    case MeterSearch::Outcome::Choose:
        ListBoxCOM->clear();
        ListBoxCOM->addItems(m_search->ResultItems());
        ListBoxCOM->setCurrentRow(0);
        m_panels->setCurrentIndex(1);
        ListBoxCOM->setFocus();
        break;
    }
}

bool TFormAutoCOM::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ListBoxCOM->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        closeWithChoice();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormAutoCOM::closeWithChoice()
{
    done(ListBoxCOM->count() > 0 && ListBoxCOM->currentRow() >= 0 ? Accepted : Rejected);
}

QString TFormAutoCOM::SelectedPort() const
{
    return m_search->SelectedPort(ListBoxCOM->currentRow());
}

QString TFormAutoCOM::SelectedBaudName() const
{
    return m_search->SelectedBaudName(ListBoxCOM->currentRow());
}

bool TFormAutoCOM::ResultPanelShown() const
{
    return m_panels->currentIndex() == 1;
}

bool TFormAutoCOM::Execute(QWidget *parent, uint8_t language, TBaudRate baudRate,
                           const QStringList &ports, QString &port, QString &baudName)
{
    TFormAutoCOM form(parent, language, baudRate, ports);
    // Without a port to probe the window has already said so.
    if (form.Search().PortCount() == 0)
        return false;
    if (form.exec() != Accepted)
        return false;
    port = form.SelectedPort();
    baudName = form.SelectedBaudName();
    return true;
}

} // namespace qv
