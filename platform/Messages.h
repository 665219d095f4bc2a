// Window messages and virtual-key codes of the original desktop platform.
//
// Every keyboard, mouse and focus event that reaches a control is turned into a TMessage with
// these codes and passed through the control's Dispatch before the toolkit handles it.
#pragma once

#include <cstdint>

using Cardinal = std::uint32_t;
using Word = std::uint16_t;
using Byte = std::uint8_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct TMessage {
    Cardinal Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// Low and high 16 bits of a parameter; mouse messages carry the client position in LParam.
constexpr Word LoWord(std::uintptr_t v) { return Word(v & 0xFFFF); }
constexpr Word HiWord(std::uintptr_t v) { return Word((v >> 16) & 0xFFFF); }
constexpr LPARAM MakeLParam(int lo, int hi)
{
    return LPARAM(std::uint32_t(Word(lo)) | (std::uint32_t(Word(hi)) << 16));
}
// The signed client coordinates of a mouse message.
constexpr int GetXLParam(LPARAM l) { return int(std::int16_t(LoWord(std::uintptr_t(l)))); }
constexpr int GetYLParam(LPARAM l) { return int(std::int16_t(HiWord(std::uintptr_t(l)))); }

// --- Window messages
constexpr Cardinal WM_NULL = 0x0000;
constexpr Cardinal WM_CREATE = 0x0001;
constexpr Cardinal WM_DESTROY = 0x0002;
constexpr Cardinal WM_MOVE = 0x0003;
constexpr Cardinal WM_SIZE = 0x0005;
constexpr Cardinal WM_ACTIVATE = 0x0006;
constexpr Cardinal WM_SETFOCUS = 0x0007;
constexpr Cardinal WM_KILLFOCUS = 0x0008;
constexpr Cardinal WM_ENABLE = 0x000A;
constexpr Cardinal WM_SETTEXT = 0x000C;
constexpr Cardinal WM_GETTEXT = 0x000D;
constexpr Cardinal WM_GETTEXTLENGTH = 0x000E;
constexpr Cardinal WM_PAINT = 0x000F;
constexpr Cardinal WM_CLOSE = 0x0010;
constexpr Cardinal WM_ERASEBKGND = 0x0014;
constexpr Cardinal WM_SHOWWINDOW = 0x0018;
constexpr Cardinal WM_SETCURSOR = 0x0020;
constexpr Cardinal WM_MOUSEACTIVATE = 0x0021;
constexpr Cardinal WM_CONTEXTMENU = 0x007B;
constexpr Cardinal WM_GETDLGCODE = 0x0087;

constexpr Cardinal WM_KEYFIRST = 0x0100;
constexpr Cardinal WM_KEYDOWN = 0x0100;
constexpr Cardinal WM_KEYUP = 0x0101;
constexpr Cardinal WM_CHAR = 0x0102;
constexpr Cardinal WM_DEADCHAR = 0x0103;
constexpr Cardinal WM_SYSKEYDOWN = 0x0104;
constexpr Cardinal WM_SYSKEYUP = 0x0105;
constexpr Cardinal WM_SYSCHAR = 0x0106;
constexpr Cardinal WM_KEYLAST = 0x0109;
constexpr Cardinal WM_COMMAND = 0x0111;
constexpr Cardinal WM_SYSCOMMAND = 0x0112;
constexpr Cardinal WM_TIMER = 0x0113;
constexpr Cardinal WM_HSCROLL = 0x0114;
constexpr Cardinal WM_VSCROLL = 0x0115;

constexpr Cardinal WM_MOUSEFIRST = 0x0200;
constexpr Cardinal WM_MOUSEMOVE = 0x0200;
constexpr Cardinal WM_LBUTTONDOWN = 0x0201;
constexpr Cardinal WM_LBUTTONUP = 0x0202;
constexpr Cardinal WM_LBUTTONDBLCLK = 0x0203;
constexpr Cardinal WM_RBUTTONDOWN = 0x0204;
constexpr Cardinal WM_RBUTTONUP = 0x0205;
constexpr Cardinal WM_RBUTTONDBLCLK = 0x0206;
constexpr Cardinal WM_MBUTTONDOWN = 0x0207;
constexpr Cardinal WM_MBUTTONUP = 0x0208;
constexpr Cardinal WM_MBUTTONDBLCLK = 0x0209;
constexpr Cardinal WM_MOUSEWHEEL = 0x020A;
constexpr Cardinal WM_MOUSELAST = 0x020A;
constexpr Cardinal WM_MOUSEHOVER = 0x02A1;
constexpr Cardinal WM_MOUSELEAVE = 0x02A3;

constexpr Cardinal WM_CUT = 0x0300;
constexpr Cardinal WM_COPY = 0x0301;
constexpr Cardinal WM_PASTE = 0x0302;
constexpr Cardinal WM_CLEAR = 0x0303;
constexpr Cardinal WM_UNDO = 0x0304;

constexpr Cardinal WM_USER = 0x0400;

// Control messages of the class library (mouse entering and leaving a control).
constexpr Cardinal CM_BASE = 0xB000;
constexpr Cardinal CM_DIALOGKEY = CM_BASE + 5;   // Enter or Escape for a default or cancel button
constexpr Cardinal CM_DIALOGCHAR = CM_BASE + 6;  // Alt+character for an accelerator
constexpr Cardinal CM_MOUSEENTER = CM_BASE + 19;
constexpr Cardinal CM_MOUSELEAVE = CM_BASE + 20;

// Key state flags in WParam of mouse messages.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

// Flags in LParam of key messages: repeat count in bits 0..15, scan code in 16..23,
// bit 29 Alt held, bit 30 key already down, bit 31 key being released.
constexpr LPARAM KF_ALTDOWN_BIT = LPARAM(1) << 29;
constexpr LPARAM KF_REPEAT_BIT = LPARAM(1) << 30;
constexpr LPARAM KF_UP_BIT = LPARAM(std::uint32_t(1) << 31);

// --- Virtual-key codes
constexpr Word VK_LBUTTON = 0x01;
constexpr Word VK_RBUTTON = 0x02;
constexpr Word VK_CANCEL = 0x03;
constexpr Word VK_MBUTTON = 0x04;
constexpr Word VK_XBUTTON1 = 0x05;
constexpr Word VK_XBUTTON2 = 0x06;
constexpr Word VK_BACK = 0x08;
constexpr Word VK_TAB = 0x09;
constexpr Word VK_CLEAR = 0x0C;
constexpr Word VK_RETURN = 0x0D;
constexpr Word VK_SHIFT = 0x10;
constexpr Word VK_CONTROL = 0x11;
constexpr Word VK_MENU = 0x12;
constexpr Word VK_PAUSE = 0x13;
constexpr Word VK_CAPITAL = 0x14;
constexpr Word VK_KANA = 0x15;
constexpr Word VK_JUNJA = 0x17;
constexpr Word VK_FINAL = 0x18;
constexpr Word VK_KANJI = 0x19;
constexpr Word VK_ESCAPE = 0x1B;
constexpr Word VK_CONVERT = 0x1C;
constexpr Word VK_NONCONVERT = 0x1D;
constexpr Word VK_ACCEPT = 0x1E;
constexpr Word VK_MODECHANGE = 0x1F;
constexpr Word VK_SPACE = 0x20;
constexpr Word VK_PRIOR = 0x21;
constexpr Word VK_NEXT = 0x22;
constexpr Word VK_END = 0x23;
constexpr Word VK_HOME = 0x24;
constexpr Word VK_LEFT = 0x25;
constexpr Word VK_UP = 0x26;
constexpr Word VK_RIGHT = 0x27;
constexpr Word VK_DOWN = 0x28;
constexpr Word VK_SELECT = 0x29;
constexpr Word VK_PRINT = 0x2A;
constexpr Word VK_EXECUTE = 0x2B;
constexpr Word VK_SNAPSHOT = 0x2C;
constexpr Word VK_INSERT = 0x2D;
constexpr Word VK_DELETE = 0x2E;
constexpr Word VK_HELP = 0x2F;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A, the characters' own codes.
constexpr Word VK_LWIN = 0x5B;
constexpr Word VK_RWIN = 0x5C;
constexpr Word VK_APPS = 0x5D;
constexpr Word VK_SLEEP = 0x5F;
constexpr Word VK_NUMPAD0 = 0x60;
constexpr Word VK_NUMPAD1 = 0x61;
constexpr Word VK_NUMPAD2 = 0x62;
constexpr Word VK_NUMPAD3 = 0x63;
constexpr Word VK_NUMPAD4 = 0x64;
constexpr Word VK_NUMPAD5 = 0x65;
constexpr Word VK_NUMPAD6 = 0x66;
constexpr Word VK_NUMPAD7 = 0x67;
constexpr Word VK_NUMPAD8 = 0x68;
constexpr Word VK_NUMPAD9 = 0x69;
constexpr Word VK_MULTIPLY = 0x6A;
constexpr Word VK_ADD = 0x6B;
constexpr Word VK_SEPARATOR = 0x6C;
constexpr Word VK_SUBTRACT = 0x6D;
constexpr Word VK_DECIMAL = 0x6E;
constexpr Word VK_DIVIDE = 0x6F;
constexpr Word VK_F1 = 0x70;
constexpr Word VK_F2 = 0x71;
constexpr Word VK_F3 = 0x72;
constexpr Word VK_F4 = 0x73;
constexpr Word VK_F5 = 0x74;
constexpr Word VK_F6 = 0x75;
constexpr Word VK_F7 = 0x76;
constexpr Word VK_F8 = 0x77;
constexpr Word VK_F9 = 0x78;
constexpr Word VK_F10 = 0x79;
constexpr Word VK_F11 = 0x7A;
constexpr Word VK_F12 = 0x7B;
constexpr Word VK_F13 = 0x7C;
constexpr Word VK_F14 = 0x7D;
constexpr Word VK_F15 = 0x7E;
constexpr Word VK_F16 = 0x7F;
constexpr Word VK_F17 = 0x80;
constexpr Word VK_F18 = 0x81;
constexpr Word VK_F19 = 0x82;
constexpr Word VK_F20 = 0x83;
constexpr Word VK_F21 = 0x84;
constexpr Word VK_F22 = 0x85;
constexpr Word VK_F23 = 0x86;
constexpr Word VK_F24 = 0x87;
constexpr Word VK_NUMLOCK = 0x90;
constexpr Word VK_SCROLL = 0x91;
constexpr Word VK_LSHIFT = 0xA0;
constexpr Word VK_RSHIFT = 0xA1;
constexpr Word VK_LCONTROL = 0xA2;
constexpr Word VK_RCONTROL = 0xA3;
constexpr Word VK_LMENU = 0xA4;
constexpr Word VK_RMENU = 0xA5;
constexpr Word VK_BROWSER_BACK = 0xA6;
constexpr Word VK_BROWSER_FORWARD = 0xA7;
constexpr Word VK_BROWSER_REFRESH = 0xA8;
constexpr Word VK_BROWSER_STOP = 0xA9;
constexpr Word VK_BROWSER_SEARCH = 0xAA;
constexpr Word VK_BROWSER_FAVORITES = 0xAB;
constexpr Word VK_BROWSER_HOME = 0xAC;
constexpr Word VK_VOLUME_MUTE = 0xAD;
constexpr Word VK_VOLUME_DOWN = 0xAE;
constexpr Word VK_VOLUME_UP = 0xAF;
constexpr Word VK_MEDIA_NEXT_TRACK = 0xB0;
constexpr Word VK_MEDIA_PREV_TRACK = 0xB1;
constexpr Word VK_MEDIA_STOP = 0xB2;
constexpr Word VK_MEDIA_PLAY_PAUSE = 0xB3;
constexpr Word VK_LAUNCH_MAIL = 0xB4;
constexpr Word VK_LAUNCH_MEDIA_SELECT = 0xB5;
constexpr Word VK_LAUNCH_APP1 = 0xB6;
constexpr Word VK_LAUNCH_APP2 = 0xB7;
constexpr Word VK_OEM_1 = 0xBA;       // ';:'
constexpr Word VK_OEM_PLUS = 0xBB;    // '=+'
constexpr Word VK_OEM_COMMA = 0xBC;   // ',<'
constexpr Word VK_OEM_MINUS = 0xBD;   // '-_'
constexpr Word VK_OEM_PERIOD = 0xBE;  // '.>'
constexpr Word VK_OEM_2 = 0xBF;       // '/?'
constexpr Word VK_OEM_3 = 0xC0;       // '`~'
constexpr Word VK_OEM_4 = 0xDB;       // '[{'
constexpr Word VK_OEM_5 = 0xDC;       // '\|'
constexpr Word VK_OEM_6 = 0xDD;       // ']}'
constexpr Word VK_OEM_7 = 0xDE;       // quote
constexpr Word VK_OEM_8 = 0xDF;
constexpr Word VK_OEM_102 = 0xE2;     // '<>' of the 102-key keyboards
constexpr Word VK_PROCESSKEY = 0xE5;
constexpr Word VK_PACKET = 0xE7;      // a character typed without a key of its own
constexpr Word VK_ATTN = 0xF6;
constexpr Word VK_PLAY = 0xFA;
constexpr Word VK_ZOOM = 0xFB;
constexpr Word VK_OEM_CLEAR = 0xFE;
