#pragma once
// Keyboard and mouse input as controls receive it: virtual key codes, shift states and
// mouse buttons, and the event types that carry them.
#include <cstdint>

#include "framework/core/Events.h"
#include "framework/core/TSet.h"

struct TTypeInfo;

using WORD = std::uint16_t;

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;
const TTypeInfo* GetTypeInfo(TShiftStateItem*);

enum TMouseButton { mbLeft, mbRight, mbMiddle };
const TTypeInfo* GetTypeInfo(TMouseButton*);

// Virtual key codes.
constexpr WORD VK_BACK = 0x08;
constexpr WORD VK_TAB = 0x09;
constexpr WORD VK_RETURN = 0x0D;
constexpr WORD VK_SHIFT = 0x10;
constexpr WORD VK_CONTROL = 0x11;
constexpr WORD VK_MENU = 0x12;  // Alt
constexpr WORD VK_PAUSE = 0x13;
constexpr WORD VK_CAPITAL = 0x14;
constexpr WORD VK_ESCAPE = 0x1B;
constexpr WORD VK_SPACE = 0x20;
constexpr WORD VK_PRIOR = 0x21;  // Page Up
constexpr WORD VK_NEXT = 0x22;   // Page Down
constexpr WORD VK_END = 0x23;
constexpr WORD VK_HOME = 0x24;
constexpr WORD VK_LEFT = 0x25;
constexpr WORD VK_UP = 0x26;
constexpr WORD VK_RIGHT = 0x27;
constexpr WORD VK_DOWN = 0x28;
constexpr WORD VK_INSERT = 0x2D;
constexpr WORD VK_DELETE = 0x2E;
// Digits and letters are their ASCII codes: '0'..'9' (0x30..0x39), 'A'..'Z' (0x41..0x5A).
constexpr WORD VK_NUMPAD0 = 0x60;  // .. VK_NUMPAD0 + 9
constexpr WORD VK_MULTIPLY = 0x6A;
constexpr WORD VK_ADD = 0x6B;
constexpr WORD VK_SUBTRACT = 0x6D;
constexpr WORD VK_DECIMAL = 0x6E;
constexpr WORD VK_DIVIDE = 0x6F;
constexpr WORD VK_F1 = 0x70;  // .. VK_F1 + 23 for F24
constexpr WORD VK_F2 = 0x71;
constexpr WORD VK_F3 = 0x72;
constexpr WORD VK_F4 = 0x73;
constexpr WORD VK_F5 = 0x74;
constexpr WORD VK_F6 = 0x75;
constexpr WORD VK_F7 = 0x76;
constexpr WORD VK_F8 = 0x77;
constexpr WORD VK_F9 = 0x78;
constexpr WORD VK_F10 = 0x79;
constexpr WORD VK_F11 = 0x7A;
constexpr WORD VK_F12 = 0x7B;

class TObject;
using TKeyEvent = TMethodPtr<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = TMethodPtr<void(TObject* Sender, wchar_t& Key)>;
using TMouseEvent = TMethodPtr<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
