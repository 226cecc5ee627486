#include "keycode.h"

#include <utility>

namespace
{

// The reference layout is the US one: a character key is known by the key that types it there,
// shifted or not ('!' and '1' are both the 1 key).
constexpr std::pair<int, int> SymbolKeys[] = {
    { Qt::Key_ParenRight, '0' },
    { Qt::Key_Exclam, '1' },
    { Qt::Key_At, '2' },
    { Qt::Key_NumberSign, '3' },
    { Qt::Key_Dollar, '4' },
    { Qt::Key_Percent, '5' },
    { Qt::Key_AsciiCircum, '6' },
    { Qt::Key_Ampersand, '7' },
    { Qt::Key_Asterisk, '8' },
    { Qt::Key_ParenLeft, '9' },
    { Qt::Key_Semicolon, 186 },
    { Qt::Key_Colon, 186 },
    { Qt::Key_Equal, 187 },
    { Qt::Key_Plus, 187 },
    { Qt::Key_Comma, 188 },
    { Qt::Key_Less, 188 },
    { Qt::Key_Minus, 189 },
    { Qt::Key_Underscore, 189 },
    { Qt::Key_Period, 190 },
    { Qt::Key_Greater, 190 },
    { Qt::Key_Slash, 191 },
    { Qt::Key_Question, 191 },
    { Qt::Key_QuoteLeft, 192 },
    { Qt::Key_AsciiTilde, 192 },
    { Qt::Key_BracketLeft, 219 },
    { Qt::Key_BraceLeft, 219 },
    { Qt::Key_Backslash, 220 },
    { Qt::Key_Bar, 220 },
    { Qt::Key_BracketRight, 221 },
    { Qt::Key_BraceRight, 221 },
    { Qt::Key_Apostrophe, 222 },
    { Qt::Key_QuoteDbl, 222 },
};

constexpr std::pair<int, int> NamedKeys[] = {
    { Qt::Key_Backspace, KeyCodes::Back },
    { Qt::Key_Tab, KeyCodes::Tab },
    { Qt::Key_Backtab, KeyCodes::Tab },
    { Qt::Key_Clear, 12 },
    { Qt::Key_Return, KeyCodes::Return },
    { Qt::Key_Enter, KeyCodes::Return },
    { Qt::Key_Shift, KeyCodes::Shift },
    { Qt::Key_Control, KeyCodes::Control },
    { Qt::Key_Alt, KeyCodes::Alt },
    { Qt::Key_AltGr, KeyCodes::Alt },
    { Qt::Key_Pause, 19 },
    { Qt::Key_CapsLock, 20 },
    { Qt::Key_Escape, KeyCodes::Escape },
    { Qt::Key_Space, KeyCodes::Space },
    { Qt::Key_PageUp, KeyCodes::PageUp },
    { Qt::Key_PageDown, KeyCodes::PageDown },
    { Qt::Key_End, KeyCodes::End },
    { Qt::Key_Home, KeyCodes::Home },
    { Qt::Key_Left, KeyCodes::Left },
    { Qt::Key_Up, KeyCodes::Up },
    { Qt::Key_Right, KeyCodes::Right },
    { Qt::Key_Down, KeyCodes::Down },
    { Qt::Key_Select, 41 },
    { Qt::Key_Printer, 42 },
    { Qt::Key_Execute, 43 },
    { Qt::Key_Print, 44 },
    { Qt::Key_SysReq, 44 },
    { Qt::Key_Insert, KeyCodes::Insert },
    { Qt::Key_Delete, KeyCodes::Delete },
    { Qt::Key_Help, 47 },
    { Qt::Key_Meta, 91 },
    { Qt::Key_Super_L, 91 },
    { Qt::Key_Super_R, 92 },
    { Qt::Key_Menu, 93 },
    { Qt::Key_Sleep, 95 },
    { Qt::Key_NumLock, 144 },
    { Qt::Key_ScrollLock, 145 },
    { Qt::Key_Back, 166 },
    { Qt::Key_Forward, 167 },
    { Qt::Key_Refresh, 168 },
    { Qt::Key_Stop, 169 },
    { Qt::Key_Search, 170 },
    { Qt::Key_Favorites, 171 },
    { Qt::Key_HomePage, 172 },
    { Qt::Key_VolumeMute, 173 },
    { Qt::Key_VolumeDown, 174 },
    { Qt::Key_VolumeUp, 175 },
    { Qt::Key_MediaNext, 176 },
    { Qt::Key_MediaPrevious, 177 },
    { Qt::Key_MediaStop, 178 },
    { Qt::Key_MediaPlay, 179 },
    { Qt::Key_MediaTogglePlayPause, 179 },
    { Qt::Key_LaunchMail, 180 },
    { Qt::Key_LaunchMedia, 181 },
    { Qt::Key_Launch0, 182 },
    { Qt::Key_Launch1, 183 },
};

// The number pad has codes of its own for its digits and operators.
int keypadCode(int qtKey)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return 96 + (qtKey - Qt::Key_0);
    switch (qtKey) {
    case Qt::Key_Asterisk:
        return 106;
    case Qt::Key_Plus:
        return 107;
    case Qt::Key_Minus:
        return 109;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return 110;
    case Qt::Key_Slash:
        return 111;
    default:
        return 0;
    }
}

template <size_t N> int lookUp(const std::pair<int, int> (&table)[N], int qtKey)
{
    for (const auto &[key, code] : table) {
        if (key == qtKey)
            return code;
    }
    return 0;
}

} // namespace

int KeyCodes::of(int qtKey, Qt::KeyboardModifiers modifiers, const QString &text)
{
    if (modifiers & Qt::KeypadModifier) {
        if (const int code = keypadCode(qtKey))
            return code;
    }
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return qtKey; // the digit keys and letter keys are known by their digit and capital letter
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return F1 + (qtKey - Qt::Key_F1);
    if (const int code = lookUp(NamedKeys, qtKey))
        return code;
    if (const int code = lookUp(SymbolKeys, qtKey))
        return code;
    return text.isEmpty() ? Unidentified : Character;
}
