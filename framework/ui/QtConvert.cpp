#include "framework/ui/QtConvert.h"

#include <cmath>

#include "framework/core/TextUtils.h"
#include "framework/ui/TFont.h"

namespace ui_detail {

QColor ToQColor(TColor Color)
{
    const TColor Rgb = ColorToRGB(Color);
    return QColor(GetRValue(Rgb), GetGValue(Rgb), GetBValue(Rgb));
}

TColor FromQColor(const QColor& Color)
{
    return RGBColor(Color.red(), Color.green(), Color.blue());
}

QFont ToQFont(const TFont& Font)
{
    static const char* const SansNames[] = {"MS Sans Serif", "Microsoft Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2",
                                            "Tahoma",        "Arial",                "Verdana",      "System",
                                            "Segoe UI",      "細明體",               "新細明體",     "PMingLiU",
                                            "MingLiU"};
    QStringList Families;
    bool Sans = false;
    for (const char* Name : SansNames)
        if (SameText(Font.Name(), Name)) Sans = true;
    if (!Sans) Families << ToQString(Font.Name());
    Families << QStringLiteral("WenQuanYi Micro Hei") << QStringLiteral("DejaVu Sans") << QStringLiteral("Sans Serif");

    QFont Q;
    Q.setFamilies(Families);
    Q.setStyleHint(QFont::SansSerif);
    // A negative height is the character height in pixels; a positive one is the cell
    // height, of which the character takes about five sixths.
    const int Pixels = Font.Height() < 0 ? -Font.Height() : static_cast<int>(std::lround(Font.Height() / 1.2));
    Q.setPixelSize(std::max(1, Pixels));
    Q.setBold(Font.Style().Contains(fsBold));
    Q.setItalic(Font.Style().Contains(fsItalic));
    Q.setUnderline(Font.Style().Contains(fsUnderline));
    Q.setStrikeOut(Font.Style().Contains(fsStrikeOut));
    return Q;
}

WORD VirtualKeyFromQt(int QtKey, Qt::KeyboardModifiers Modifiers)
{
    if (Modifiers & Qt::KeypadModifier) {
        if (QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9) return static_cast<WORD>(VK_NUMPAD0 + (QtKey - Qt::Key_0));
        switch (QtKey) {
        case Qt::Key_Asterisk: return VK_MULTIPLY;
        case Qt::Key_Plus: return VK_ADD;
        case Qt::Key_Minus: return VK_SUBTRACT;
        case Qt::Key_Period: return VK_DECIMAL;
        case Qt::Key_Slash: return VK_DIVIDE;
        default: break;
        }
    }
    if (QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9) return static_cast<WORD>('0' + (QtKey - Qt::Key_0));
    if (QtKey >= Qt::Key_A && QtKey <= Qt::Key_Z) return static_cast<WORD>('A' + (QtKey - Qt::Key_A));
    if (QtKey >= Qt::Key_F1 && QtKey <= Qt::Key_F24) return static_cast<WORD>(VK_F1 + (QtKey - Qt::Key_F1));
    switch (QtKey) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
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
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return 0xBA;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return 0xBB;
    case Qt::Key_Comma:
    case Qt::Key_Less: return 0xBC;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return 0xBD;
    case Qt::Key_Period:
    case Qt::Key_Greater: return 0xBE;
    case Qt::Key_Slash:
    case Qt::Key_Question: return 0xBF;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return 0xC0;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return 0xDB;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return 0xDC;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return 0xDD;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return 0xDE;
    default: return 0;
    }
}

TShiftState ShiftFromQt(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons)
{
    TShiftState S;
    if (Modifiers & Qt::ShiftModifier) S << ssShift;
    if (Modifiers & Qt::AltModifier) S << ssAlt;
    if (Modifiers & Qt::ControlModifier) S << ssCtrl;
    if (Buttons & Qt::LeftButton) S << ssLeft;
    if (Buttons & Qt::RightButton) S << ssRight;
    if (Buttons & Qt::MiddleButton) S << ssMiddle;
    return S;
}

}  // namespace ui_detail
