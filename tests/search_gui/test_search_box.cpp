// The criterion box as a user drives it: switching operators, typing and
// leaving with Enter, numbers that do not read, its glyphs.
#include "protocol/FormatSettings.h"
#include "search/widgets/SearchLabel.h"
#include "search/widgets/TFormMask.h"
#include "search/widgets/TSearchBX.h"
#include "support/GoldenText.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <map>

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
    void visit()
    {
        box->ValueEdit->setFocus();
        next->setFocus();
    }

    const ScopedFormatSettings separators{FormatSettings{'.', '-', ':'}};
    QWidget window;
    TSearchBX *box = nullptr;
    QLineEdit *next = nullptr;
    std::vector<TResult> changes;
    int beeps = 0;
    bool active = false;
};

// Runs steps on a box and lists its state after each one: the operator (its
// index, bytes and how many are offered), the edit's text (* when enabled),
// TextDefault, the result's text, the changes reported (the last one's text and value), beeps,
// and "next" when the focus has moved on. "style:" sets the style, "index:"
// the operator, "default:" TextDefault, "type:" types into the edit and leaves it with Enter, "visit"
// enters and leaves the edit.
QString trace(const QStringList &steps)
{
    const std::map<QString, TSearchStyle> styles = {
        {"Real", ssReal}, {"Text", ssText}, {"Longint", ssLongint}, {"Date", ssDate}, {"Time", ssTime}};
    BoxRig rig(ssReal);
    EXPECT_TRUE(rig.active);
    TSearchBX &b = *rig.box;
    QString listing;
    for (const QString &step : steps) {
        const QString what = step.section(':', 0, 0), arg = step.section(':', 1);
        if (what == "style")
            b.setStyle(styles.at(arg));
        else if (what == "index")
            b.setIndex(arg.toInt());
        else if (what == "type")
            rig.typeAndEnter(arg);
        else if (what == "visit")
            rig.visit();
        else if (what == "default")
            b.TextDefault = arg;
        const TResult last = rig.changes.empty() ? TResult() : rig.changes.back();
        listing += QStringLiteral("%1 -> %2 \"%3\" of %4, \"%5\"%6 default \"%7\" result \"%8\", "
                                  "%9 changes (\"%10\" %11), %12 beeps%13\n")
                       .arg(step).arg(b.Index()).arg(QString::fromLatin1(b.OperatorBytes()))
                       .arg(b.OperatorList->count())
                       .arg(b.ValueEdit->text(), b.ValueEdit->isEnabled() ? "*" : "")
                       .arg(b.TextDefault, b.Result.Text)
                       .arg(rig.changes.size()).arg(last.Text).arg(last.RealValue)
                       .arg(rig.beeps).arg(rig.next->hasFocus() ? ", next" : "");
    }
    return listing;
}

} // namespace

// Switching the operator shows the default and reports each change; Enter
// moves on, and a value reports only when it changed; a fraction in an
// integer box beeps and reads 0; dates and times are read from loose digits.
TEST(SearchBox, OperatorsTypingAndStylesMatchTheGoldenTrace)
{
    const QStringList steps = {
        // A new operator is a change though the text is not; 7 and -1 are out of range.
        "index:4", "index:7", "index:-1", "index:0",
        // The same value typed otherwise is no change, nor is entering and
        // leaving; text that does not read brings back the text from before.
        "index:2", "type:1,5", "type:1.5", "visit", "type:12 346", "type:abc",
        "style:Text", "style:Longint", "index:4", "type:1.5",
        // (Without a default text, a date or time box would show the present one.)
        "style:Date", "default:31-12-10", "index:1", "type:1.2.11",
        "style:Time", "default:23:59:00", "index:3", "type:7 5 3",
    };
    qvtest::expectGoldenText(QStringLiteral("search_gui/box-trace.txt"), trace(steps));
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
