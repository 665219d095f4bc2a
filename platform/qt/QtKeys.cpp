// The key table: Qt keys to virtual-key codes, the modifier and button states, and whether the
// focus is in a field that types text.
#include "platform/qt/QtControls.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

// Keyboard modifiers of the latest input event (the state the handlers ask for).
Qt::KeyboardModifiers g_modifiers;

}  // namespace

void QtControls::SetInputModifiers(Qt::KeyboardModifiers Modifiers)
{
    g_modifiers = Modifiers;
}

TShiftState Toolkit::KeyboardShift()
{
    return QtControls::ShiftState(g_modifiers, Qt::NoButton);
}

bool Toolkit::EditsText(const TWinControl* C)
{
    const QWidget* w = QApplication::focusWidget();
    if (w == nullptr || QtControls::ControlOf(w) != C)
        w = QtControls::WidgetOf(C);
    if (const auto* combo = qobject_cast<const QComboBox*>(w))
        return combo->isEditable();
    return qobject_cast<const QLineEdit*>(w) != nullptr || qobject_cast<const QTextEdit*>(w) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(w) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(w) != nullptr;
}

WPARAM QtControls::MouseKeys(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Mods)
{
    WPARAM k = 0;
    if (Buttons & Qt::LeftButton) k |= MK_LBUTTON;
    if (Buttons & Qt::RightButton) k |= MK_RBUTTON;
    if (Buttons & Qt::MiddleButton) k |= MK_MBUTTON;
    if (Mods & Qt::ShiftModifier) k |= MK_SHIFT;
    if (Mods & Qt::ControlModifier) k |= MK_CONTROL;
    return k;
}

TShiftState QtControls::ShiftState(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons)
{
    TShiftState s;
    if (Modifiers & Qt::ShiftModifier) s << ssShift;
    if (Modifiers & Qt::ControlModifier) s << ssCtrl;
    if (Modifiers & Qt::AltModifier) s << ssAlt;
    if (Buttons & Qt::LeftButton) s << ssLeft;
    if (Buttons & Qt::RightButton) s << ssRight;
    if (Buttons & Qt::MiddleButton) s << ssMiddle;
    return s;
}

Word QtControls::VirtualKey(const QKeyEvent* Event)
{
    return VirtualKey(Event->key(), Event->modifiers(), Event->text());
}

Word QtControls::VirtualKey(int Key, Qt::KeyboardModifiers Modifiers, const QString& Text)
{
    if (Modifiers & Qt::KeypadModifier) {
        if (Key >= Qt::Key_0 && Key <= Qt::Key_9)
            return Word(VK_NUMPAD0 + (Key - Qt::Key_0));
        switch (Key) {
        case Qt::Key_Asterisk: return VK_MULTIPLY;
        case Qt::Key_Plus: return VK_ADD;
        case Qt::Key_Minus: return VK_SUBTRACT;
        case Qt::Key_Period:
        case Qt::Key_Comma: return VK_DECIMAL;
        case Qt::Key_Slash: return VK_DIVIDE;
        default: break;
        }
    }
    if (Key >= Qt::Key_A && Key <= Qt::Key_Z)
        return Word('A' + (Key - Qt::Key_A));
    if (Key >= Qt::Key_0 && Key <= Qt::Key_9)
        return Word('0' + (Key - Qt::Key_0));
    if (Key >= Qt::Key_F1 && Key <= Qt::Key_F24)
        return Word(VK_F1 + (Key - Qt::Key_F1));
    if (Key >= Qt::Key_Dead_Grave && Key <= Qt::Key_Dead_Longsolidusoverlay)
        return VK_OEM_8;
    switch (Key) {
    // editing and navigation
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Clear: return VK_CLEAR;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Select: return VK_SELECT;
    case Qt::Key_Printer: return VK_PRINT;
    case Qt::Key_Execute: return VK_EXECUTE;
    case Qt::Key_Print:
    case Qt::Key_SysReq: return VK_SNAPSHOT;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Help: return VK_HELP;
    case Qt::Key_Cancel: return VK_CANCEL;
    // modifiers, locks and system keys
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return VK_MENU;
    case Qt::Key_Meta:
    case Qt::Key_Super_L: return VK_LWIN;
    case Qt::Key_Super_R: return VK_RWIN;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    case Qt::Key_Sleep: return VK_SLEEP;
    // input methods
    case Qt::Key_Hangul:
    case Qt::Key_Kana_Lock:
    case Qt::Key_Kana_Shift: return VK_KANA;
    case Qt::Key_Hangul_Hanja:
    case Qt::Key_Kanji: return VK_KANJI;
    case Qt::Key_Henkan: return VK_CONVERT;
    case Qt::Key_Muhenkan: return VK_NONCONVERT;
    case Qt::Key_Mode_switch: return VK_MODECHANGE;
    // browser, volume, media and launch keys
    case Qt::Key_Back: return VK_BROWSER_BACK;
    case Qt::Key_Forward: return VK_BROWSER_FORWARD;
    case Qt::Key_Refresh: return VK_BROWSER_REFRESH;
    case Qt::Key_Stop: return VK_BROWSER_STOP;
    case Qt::Key_Search: return VK_BROWSER_SEARCH;
    case Qt::Key_Favorites: return VK_BROWSER_FAVORITES;
    case Qt::Key_HomePage: return VK_BROWSER_HOME;
    case Qt::Key_VolumeMute: return VK_VOLUME_MUTE;
    case Qt::Key_VolumeDown: return VK_VOLUME_DOWN;
    case Qt::Key_VolumeUp: return VK_VOLUME_UP;
    case Qt::Key_MediaNext: return VK_MEDIA_NEXT_TRACK;
    case Qt::Key_MediaPrevious: return VK_MEDIA_PREV_TRACK;
    case Qt::Key_MediaStop: return VK_MEDIA_STOP;
    case Qt::Key_MediaPlay:
    case Qt::Key_MediaPause:
    case Qt::Key_MediaTogglePlayPause: return VK_MEDIA_PLAY_PAUSE;
    case Qt::Key_LaunchMail: return VK_LAUNCH_MAIL;
    case Qt::Key_LaunchMedia: return VK_LAUNCH_MEDIA_SELECT;
    case Qt::Key_Launch0: return VK_LAUNCH_APP1;
    case Qt::Key_Launch1: return VK_LAUNCH_APP2;
    // punctuation: the key that carries the character on the US layout
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return VK_OEM_PLUS;
    case Qt::Key_Comma:
    case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Period:
    case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Slash:
    case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return VK_OEM_7;
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    default:
        break;
    }
    // A character without a key of its own (other layouts, input methods); a key the table
    // does not know gets the code the original platform gives such keys.
    return Text.isEmpty() ? Word(0xFF) : VK_PACKET;
}
