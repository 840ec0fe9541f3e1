// The meter's field editor: moving, deleting and stepping in text,
// cell-number, value and time fields. (Number fields that take no character
// groups are in the recorded sessions; typing text through the key pairs is
// tested with the program's own typer in the integration tests.)
#include "engine/editor.h"
#include "engine/keys.h"

#include <gtest/gtest.h>

using namespace qvsim;

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
