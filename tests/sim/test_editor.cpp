// Character entry: the program sends key pairs, the meter turns them back
// into characters of whichever table its status block names.
#include "engine/editor.h"
#include "engine/keys.h"

#include "SimHarness.h"

#include <gtest/gtest.h>

using namespace qvsim;
using simtest::SimMeter;

namespace {

std::string commentOf(const Cell &c)
{
    return std::string(c.begin() + (CommentOffset - StatusOffset),
                       c.begin() + (CommentOffset - StatusOffset + CommentSize));
}

MeterConfig polish()
{
    MeterConfig config;
    config.englishTable = false;
    return config;
}

} // namespace

TEST(SimEditor, TextTypedAsTheProgramSendsItInEitherTable)
{
    SimMeter m;
    ASSERT_EQ(m.go("TK"), ScrSave);  // MEMO > Save measure
    ASSERT_EQ(m.last().type(), 0x06);
    EXPECT_TRUE(m.last().status() & StEnglishTable);
    EXPECT_EQ(m.last().textMode(), 't');
    const std::string text = "LAMP A-1 @%/#?$9";  // every group, and a full field
    m.type(text);
    EXPECT_EQ(m.engine.editor().text(), text);
    EXPECT_EQ(m.last().cursorType(), 0);  // after a character of group g the entry kind is g: "9"
    EXPECT_EQ(m.go("K"), 10);
    ASSERT_EQ(m.engine.memory().count(), 1u);
    EXPECT_EQ(commentOf(m.engine.memory().cell(0)), text);

    SimMeter p(polish());
    p.press("TK");
    ASSERT_FALSE(p.last().status() & StEnglishTable);
    const std::string polishText = "\xA3\xA5KA \xAF\xD3\x8C\x8F-9";  // ŁĄKA ŻÓŚŹ-9
    p.type(polishText);
    EXPECT_EQ(p.engine.editor().trimmed(), polishText);
    p.press("K");
    EXPECT_EQ(commentOf(p.engine.memory().cell(0)).substr(0, polishText.size()), polishText);

    // "D" then "F" (group 1, place 1) is "C" in Polish and "D" in English.
    SimMeter pp(polish()), e;
    pp.press("TKDF");
    e.press("TKDF");
    EXPECT_EQ(pp.engine.editor().text()[0], 'C');
    EXPECT_EQ(e.engine.editor().text()[0], 'D');
}

TEST(SimEditor, EntryKindFollowsTheSelectedGroup)
{
    SimMeter m;
    m.press("TKL");  // group 2 selected
    EXPECT_EQ(m.last().cursorType(), 2);
    EXPECT_EQ(m.last().key2(), 'L');
    m.press("L");  // its own key again: back to the digits
    EXPECT_EQ(m.last().cursorType(), 0);
    m.press("TD");  // another group's key switches straight to it
    EXPECT_EQ(m.last().cursorType(), 1);
    m.press("H");  // group 1, place 3: the English table's "J"
    EXPECT_EQ(m.engine.editor().text()[0], 'J');
    EXPECT_EQ(m.last().cursor(), 1);
}

TEST(SimEditor, NumberFieldsStayOnTheDigits)
{
    MeterConfig config;
    config.cells = 5;
    SimMeter m(config);
    ASSERT_EQ(m.go("TJK"), ScrLoad);  // MEMO > Load measure: the cell number
    EXPECT_EQ(m.last().type(), 0x05);  // the last cell previewed
    EXPECT_EQ(m.engine.editor().text(), "005");
    m.press("D");  // no character groups here
    EXPECT_EQ(m.engine.editor().group(), 0);
    m.type("012");
    EXPECT_EQ(m.engine.editor().text(), "012");
    EXPECT_EQ(m.last().type(), 0x06);  // no cell 12 to preview

    SimMeter r;
    ASSERT_EQ(r.go("DJJK"), ScrReference);  // MODE > Relative: a value field takes digits and a point
    EXPECT_EQ(r.last().textMode(), 'k');
    EXPECT_NEAR(std::stod(r.engine.editor().text()), 350.0, 10.0);  // the reading, in mW/m²
    r.type("12.5");
    r.press("DF");  // MODE is ignored, so F is the digit 1
    EXPECT_EQ(r.engine.editor().text(), "12.51");
}

TEST(SimEditor, FieldKeysMoveDeleteAndStep)
{
    TextEditor e;
    e.open(EditText, "ABC");
    EXPECT_EQ(e.text().size(), 16u);
    e.press(KeyMeas);
    e.press(KeyUp);  // delete under the cursor: the rest moves left
    EXPECT_EQ(e.trimmed(), "AC");
    e.press(KeyDown);
    e.press(KeyDown);  // round to the last place
    EXPECT_EQ(e.cursor(), 15u);
    e.press('F');  // "1": the cursor stays on the last place
    e.press('G');
    EXPECT_EQ(e.text()[15], '2');
    EXPECT_EQ(e.cursor(), 15u);

    e.open(EditCell, "003");
    e.setCellLimit(3);
    e.press(KeyUp);  // past the last cell: round to the first
    EXPECT_EQ(e.text(), "001");
    e.press(KeyDown);
    EXPECT_EQ(e.text(), "003");

    e.open(EditNumber, "1.5");
    e.setPrefixSteps(0, -1, 1);
    e.press(KeyUp);
    e.press(KeyUp);
    EXPECT_EQ(e.prefixStep(), 1);  // no further than the probe's ranges
    EXPECT_EQ(e.block(0).length, 5);

    e.open(EditTime, "09:30:00");
    e.press(KeyUp);  // on a date or time field UP counts the digit up
    EXPECT_EQ(e.text(), "19:30:00");
    EXPECT_EQ(e.press(KeyEnter), TextEditor::Key::Ignored);
}
