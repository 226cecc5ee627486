#pragma once

#include <QString>
#include <Qt>

// Key codes as a keyboard reports them: the code names the key that was pressed, not the character
// it typed. '(' is Shift+9 and gives the code of the 9 key, never that of Down, which happens to be
// the same number as the character; Shift and Ctrl on their own, Insert, and letters of any keyboard
// layout all have a code of their own, so every key can be told to the owner of a picker.
namespace KeyCodes
{

enum : int {
    Back = 8,
    Tab = 9,
    Return = 13,
    Shift = 16,
    Control = 17,
    Alt = 18,
    Escape = 27,
    Space = 32,
    PageUp = 33,
    PageDown = 34,
    End = 35,
    Home = 36,
    Left = 37,
    Up = 38,
    Right = 39,
    Down = 40,
    Insert = 45,
    Delete = 46,
    F1 = 112,
    F4 = 115,
    // A character from a key that has no place on the reference layout (the letters of a non-Latin
    // keyboard, accented letters): the keyboard reports the character itself.
    Character = 231,
    // A key with neither a code nor a character (some media and vendor keys).
    Unidentified = 255,
};

// The code of a key press: the Qt key, its modifiers (the keypad has codes of its own) and the
// text it typed. Never 0.
int of(int qtKey, Qt::KeyboardModifiers modifiers, const QString &text);

} // namespace KeyCodes
