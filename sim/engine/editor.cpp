#include "engine/editor.h"

#include "engine/keys.h"

#include <algorithm>
#include <cstdio>

namespace qvsim {

namespace {

size_t fieldWidth(EditMode mode)
{
    switch (mode) {
    case EditAlarmDate:
    case EditTime:
    case EditDate: return 8;   // dd.mm.yy, hh:mm:ss
    case EditNumber: return 5;  // what the large digits hold before the unit
    case EditCell: return 3;
    default: return 16;
    }
}

bool isDigit(uint8_t c) { return c >= '0' && c <= '9'; }

} // namespace

const std::string &characterTable(bool english)
{
    static const std::string polish =
        "0123456789. "
        "AC" "EGJ\xA3\xD1P\x8CVY\xAF"       // A C E G J Ł Ń P Ś V Y Ż
        "\xA5\xC6\xCAHKMORTWZ/"             // Ą Ć Ę H K M O R T W Z /
        "BDFILN\xD3SUX\x8F-";               // B D F I L N Ó S U X Ź -
    static const std::string englishTable =
        "0123456789. "
        "ADGJMPSVY-$+"
        "BEHKNQTWZ@%!"
        "CFILORUX/#&?";
    return english ? englishTable : polish;
}

void TextEditor::open(EditMode mode, const std::string &text)
{
    m_mode = mode;
    m_text = text;
    m_text.resize(fieldWidth(mode), ' ');
    m_cursor = 0;
    m_group = 0;
    m_fresh = mode == EditNumber;
}

void TextEditor::setPrefixSteps(int step, int lo, int hi)
{
    m_prefixLo = lo;
    m_prefixHi = hi;
    m_prefixStep = std::clamp(step, lo, hi);
}

bool TextEditor::isTemplate() const
{
    return m_mode == EditAlarmDate || m_mode == EditTime || m_mode == EditDate;
}

bool TextEditor::accepts(uint8_t ch) const
{
    switch (m_mode) {
    case EditText:
    case EditAlarmMessage: return true;
    case EditNumber: return isDigit(ch) || ch == '.';
    default: return isDigit(ch);
    }
}

TextEditor::Key TextEditor::press(uint8_t key)
{
    if (const int g = groupOfKey(key); g > 0) {
        // Number fields have nothing but the digit group.
        if (m_mode == EditText || m_mode == EditAlarmMessage)
            m_group = m_group == g ? 0 : g;
        return Key::Taken;
    }
    if (const int pos = positionOfLetter(key); pos >= 0) {
        const uint8_t ch = uint8_t(characterTable(m_english)[size_t(12 * m_group + pos)]);
        if (accepts(ch))
            type(ch);
        return Key::Taken;
    }
    switch (key) {
    case KeyMeas:
        m_fresh = false;  // editing the value in place
        moveRight();
        return Key::Taken;
    case KeyDown:
        if (m_mode == EditCell)
            stepCell(-1);
        else if (m_mode == EditNumber)
            m_prefixStep = std::max(m_prefixLo, m_prefixStep - 1);
        else
            moveLeft();
        return Key::Taken;
    case KeyUp:
        if (m_mode == EditCell) {
            stepCell(+1);
        } else if (m_mode == EditNumber) {
            m_prefixStep = std::min(m_prefixHi, m_prefixStep + 1);
        } else if (isTemplate()) {
            char &c = m_text[m_cursor];
            c = c == '9' ? '0' : char(c + 1);
        } else {
            // Delete the character under the cursor; the rest moves left.
            m_text.erase(m_cursor, 1);
            m_text.push_back(' ');
        }
        return Key::Taken;
    default:
        return Key::Ignored;
    }
}

void TextEditor::type(uint8_t ch)
{
    if (m_fresh)
        m_text.assign(m_text.size(), ' ');
    m_fresh = false;
    m_text[m_cursor] = char(ch);
    if (isTemplate() || m_mode == EditCell)
        moveRight();  // round and round the digits
    else
        m_cursor = std::min(m_cursor + 1, m_text.size() - 1);
}

void TextEditor::moveRight()
{
    do
        m_cursor = (m_cursor + 1) % m_text.size();
    while (isTemplate() && !isDigit(uint8_t(m_text[m_cursor])));
}

void TextEditor::moveLeft()
{
    do
        m_cursor = (m_cursor + m_text.size() - 1) % m_text.size();
    while (isTemplate() && !isDigit(uint8_t(m_text[m_cursor])));
}

void TextEditor::stepCell(int delta)
{
    int n = 0;
    for (char c : m_text)
        n = isDigit(uint8_t(c)) ? n * 10 + (c - '0') : n;
    const int limit = std::max(1, m_cellLimit);
    n = n + delta;
    if (n < 1)
        n = limit;
    if (n > limit)
        n = 1;
    char b[16];
    std::snprintf(b, sizeof b, "%03d", n);
    m_text = b;
}

std::string TextEditor::trimmed() const
{
    const size_t a = m_text.find_first_not_of(' ');
    if (a == std::string::npos)
        return {};
    const size_t b = m_text.find_last_not_of(' ');
    return m_text.substr(a, b - a + 1);
}

TextBlock TextEditor::block(uint8_t extra) const
{
    TextBlock t;
    std::fill(t.text.begin(), t.text.end(), uint8_t(' '));
    std::copy(m_text.begin(), m_text.end(), t.text.begin());
    t.length = uint8_t(m_text.size());
    t.mode = m_mode;
    t.cursor = uint8_t(m_cursor);
    t.extra = extra;
    const bool kinded = m_mode == EditText || m_mode == EditAlarmMessage;
    t.cursorType = kinded ? uint8_t(m_group) : 0;
    return t;
}

} // namespace qvsim
