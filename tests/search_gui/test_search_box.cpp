// The criterion box as a user drives it: switching operators, typing and
// leaving with Enter, numbers that do not read, its glyphs.
#include "protocol/FormatSettings.h"
#include "search/widgets/SearchLabel.h"
#include "search/widgets/TFormMask.h"
#include "search/widgets/TSearchBX.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace qv;

namespace {

// A box with a line edit after it (where Enter sends the focus), in an
// active window; changes and beeps counted.
struct BoxRig {
    explicit BoxRig(TSearchStyle style)
    {
        auto *layout = new QVBoxLayout(&window);
        box = new TSearchBX(&window);
        next = new QLineEdit(&window);
        layout->addWidget(box);
        layout->addWidget(next);
        box->setStyle(style);
        box->OnChange = [this](TSearchBX *, const TResult &r) { changes.push_back(r); };
        box->OnBeep = [this] { ++beeps; };
        window.show();
        window.activateWindow();
        active = QTest::qWaitForWindowActive(&window);
    }
    // Types into the edit (entered afresh) and leaves it with Enter.
    void typeAndEnter(const QString &text)
    {
        box->ValueEdit->setFocus();
        QApplication::processEvents();
        box->ValueEdit->selectAll();
        QTest::keyClicks(box->ValueEdit, text);
        QTest::keyClick(box->ValueEdit, Qt::Key_Return);
        QApplication::processEvents();   // the posted Tab
    }

    const ScopedFormatSettings separators{FormatSettings{'.', '-', ':'}};
    QWidget window;
    TSearchBX *box = nullptr;
    QLineEdit *next = nullptr;
    std::vector<TResult> changes;
    int beeps = 0;
    bool active = false;
};

} // namespace

TEST(SearchBox, SwitchingTheOperatorShowsTheDefaultAndReportsEachChange)
{
    BoxRig rig(ssReal);
    TSearchBX &b = *rig.box;
    EXPECT_EQ(b.TextDefault, QStringLiteral("0"));
    EXPECT_TRUE(b.ValueEdit->text().isEmpty());
    EXPECT_FALSE(b.ValueEdit->isEnabled());

    b.setIndex(4);
    EXPECT_EQ(b.ValueEdit->text(), QStringLiteral("0.000")) << "an empty number reads as 0";
    EXPECT_TRUE(b.ValueEdit->isEnabled());
    ASSERT_EQ(rig.changes.size(), 1u) << "a new operator is a change though the text is not";
    EXPECT_EQ(b.OperatorBytes(), QByteArray("="));

    b.setIndex(7);   // out of range: ignored
    b.setIndex(-1);
    EXPECT_EQ(b.Index(), 4);
    EXPECT_EQ(rig.changes.size(), 1u);

    b.setIndex(0);
    EXPECT_TRUE(b.ValueEdit->text().isEmpty());
    EXPECT_FALSE(b.ValueEdit->isEnabled());
    EXPECT_EQ(rig.changes.size(), 2u);

    b.setStyle(ssText);
    EXPECT_EQ(b.OperatorList->count(), 5);
    EXPECT_EQ(b.Index(), 0);
    EXPECT_TRUE(b.TextDefault.isEmpty());
}

TEST(SearchBox, EnterMovesOnAndAValueReportsOnlyWhenItChanged)
{
    BoxRig rig(ssReal);
    ASSERT_TRUE(rig.active);
    TSearchBX &b = *rig.box;
    b.setIndex(2);
    rig.changes.clear();

    rig.typeAndEnter(QStringLiteral("1,5"));
    EXPECT_TRUE(rig.next->hasFocus()) << "Enter moves the focus on";
    EXPECT_EQ(b.ValueEdit->text(), QStringLiteral("1.500"));
    ASSERT_EQ(rig.changes.size(), 1u);
    EXPECT_EQ(rig.changes[0].Text, QStringLiteral("1.500"));
    EXPECT_DOUBLE_EQ(rig.changes[0].RealValue, 1.5);
    EXPECT_EQ(b.TextDefault, QStringLiteral("1.500"));

    rig.typeAndEnter(QStringLiteral("1.5"));
    EXPECT_EQ(rig.changes.size(), 1u) << "the same value typed otherwise is no change";

    b.ValueEdit->setFocus();
    rig.next->setFocus();
    EXPECT_EQ(rig.changes.size(), 1u) << "entering and leaving reports nothing";

    rig.typeAndEnter(QStringLiteral("12 346"));
    EXPECT_EQ(b.ValueEdit->text(), QStringLiteral("12.35e3"));
    EXPECT_EQ(rig.changes.size(), 2u);

    rig.typeAndEnter(QStringLiteral("abc"));
    EXPECT_EQ(b.ValueEdit->text(), QStringLiteral("12.35e3")) << "the text from before comes back";
    EXPECT_EQ(rig.beeps, 1);
    EXPECT_EQ(rig.changes.size(), 2u);
    EXPECT_EQ(b.Result.Text, QStringLiteral("12.35e3"));
}

// A fraction in an integer box beeps and reads 0; dates and times are read
// from loose digits and never beep.
TEST(SearchBox, IntegersDatesAndTimes)
{
    const struct {
        TSearchStyle style;
        int index;
        const char *typed, *shown;
        int beeps;
    } cases[] = {{ssLongint, 4, "1.5", "0", 1}, {ssDate, 1, "1.2.11", "01-02-11", 0}, {ssTime, 3, "7 5 3", "07:05:03", 0}};
    for (const auto &c : cases) {
        BoxRig rig(c.style);
        rig.box->setIndex(c.index);
        rig.typeAndEnter(QString::fromLatin1(c.typed));
        EXPECT_EQ(rig.box->ValueEdit->text(), QString::fromLatin1(c.shown)) << c.typed;
        EXPECT_EQ(rig.beeps, c.beeps) << c.typed;
    }
}

TEST(SearchBox, TheOperatorGlyphsAreInTheFont)
{
    TSearchBX b;
    for (TSearchStyle style : {ssReal, ssText}) {
        b.setStyle(style);
        const QFontMetrics fm(b.OperatorList->font());
        for (int i = 0; i < b.OperatorList->count(); ++i)
            for (QChar c : b.OperatorList->itemText(i))
                EXPECT_TRUE(fm.inFont(c)) << "item " << i << " U+" << std::hex << c.unicode();
    }
}

TEST(SearchBox, VerticalTextAndTheOperatorsWindowGeometry)
{
    // The text turned a quarter counter-clockwise: as wide as the text is
    // high, as high as it is wide, ending at the bottom given.
    QImage canvas(60, 80, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(10);
    {
        QPainter p(&canvas);
        p.setFont(f);
        p.setPen(Qt::black);
        TxtPion(QStringLiteral("Search"), p, 70, 10);
    }
    QRect ink;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.pixel(x, y) != qRgb(255, 255, 255))
                ink |= QRect(x, y, 1, 1);
    f.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics fm(f);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 9);
    EXPECT_LE(ink.right(), 10 + fm.height() - 1);
    EXPECT_LE(ink.bottom(), 70);
    EXPECT_GE(ink.top(), 70 - fm.horizontalAdvance(QStringLiteral("Search")));
    EXPECT_GT(ink.height(), ink.width()) << "the word runs upwards";

    const QRect work(0, 0, 1000, 700);
    EXPECT_EQ(FirstMaskPosition(QRect(100, 100, 400, 300), QSize(200, 100), work), QPoint(200, 200));
    EXPECT_EQ(FirstMaskPosition(QRect(100, 100, 100, 300), QSize(200, 100), work), QPoint(100, 200))
        << "not left of the owner";
    EXPECT_EQ(FirstMaskPosition(QRect(900, 650, 100, 100), QSize(200, 100), work), QPoint(800, 600))
        << "inside the work area";
    EXPECT_EQ(FirstMaskPosition(QRect(-300, -300, 100, 100), QSize(200, 100), work), QPoint(0, 0));

    TFormMask mask(nullptr, 1);
    EXPECT_EQ(mask.minimumSize(), mask.maximumSize()) << "the window keeps its size";
}
