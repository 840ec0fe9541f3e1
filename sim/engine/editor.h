// The meter's text editor: fixed-width fields edited in place with the keys.
//
// Characters come from a 48-character table in four groups of twelve. MODE,
// SET and MEMO select group 1, 2 or 3; pressing the key of the group already
// selected goes back to group 0 (digits). A letter key then types: E-H, M-P
// and U-X pick the first, second and third four of the group's twelve. The
// selected group is reported as the cursor type of text fields, so a typist
// first presses the key of that group (back to the digits) and then the key
// of the group it wants. Number, date and cell fields stay on the digits.
#pragma once

#include "engine/frames.h"

#include <cstdint>
#include <string>

namespace qvsim {

// Editor mode letters, as the text block reports them.
enum EditMode : uint8_t {
    EditAlarmMessage = 'a',
    EditAlarmDate = 'b',
    EditTime = 'c',
    EditDate = 'd',
    EditNumber = 'k',   // a value: calibration or the relative reference
    EditCell = 'm',
    EditText = 't',
};

// The two character tables (Windows-1250 bytes); the English one is used
// when the status word's table bit is set.
const std::string &characterTable(bool english);

class TextEditor {
public:
    enum class Key { Taken, Ignored };

    // Opens a field with its initial text (padded or cut to the field's
    // width) and the cursor at its first editable place. A value field's
    // initial text goes as soon as typing starts.
    void open(EditMode mode, const std::string &text);
    // The cell number field counts 1 ... `limit` with UP and DOWN.
    void setCellLimit(int limit) { m_cellLimit = limit; }
    // The value field's unit prefix: an exponent step within [lo, hi].
    void setPrefixSteps(int step, int lo, int hi);
    void setEnglish(bool english) { m_english = english; }

    // A key letter; ENTER and ESC (and keys the field has no use for) are
    // left to the caller.
    Key press(uint8_t key);

    EditMode mode() const { return m_mode; }
    const std::string &text() const { return m_text; }
    std::string trimmed() const;          // without leading and trailing spaces
    size_t cursor() const { return m_cursor; }
    int group() const { return m_group; }
    int prefixStep() const { return m_prefixStep; }
    int prefixLo() const { return m_prefixLo; }
    // `extra` is the exponent code the program shows the value field's unit with.
    TextBlock block(uint8_t extra = 0) const;

private:
    bool isTemplate() const;      // date and time fields with fixed separators
    bool accepts(uint8_t ch) const;
    void type(uint8_t ch);
    void moveRight();
    void moveLeft();
    void stepCell(int delta);

    EditMode m_mode = EditText;
    std::string m_text;
    size_t m_cursor = 0;
    int m_group = 0;
    bool m_fresh = false;  // a prefilled value, replaced by the first character typed
    bool m_english = true;
    int m_cellLimit = 1;
    int m_prefixStep = 0;
    int m_prefixLo = 0;
    int m_prefixHi = 0;
};

} // namespace qvsim
