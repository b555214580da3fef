#pragma once
// Conversions between the framework's values and Qt's (internal to framework/ui and its
// tests; the framework's public headers do not include Qt).
#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include "framework/ui/Colors.h"
#include "framework/ui/Keys.h"
#include "framework/ui/UiTypes.h"

class TFont;

namespace ui_detail {

inline QString ToQString(const AnsiString& S) { return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size())); }
inline AnsiString FromQString(const QString& S) { return S.toUtf8().toStdString(); }

QColor ToQColor(TColor Color);
TColor FromQColor(const QColor& Color);

// The Qt font for a framework font. Framework font names that have no counterpart here
// ("MS Sans Serif" and kin) map to a sans family whose fallback covers Chinese.
QFont ToQFont(const TFont& Font);

inline QRect ToQRect(const TRect& R) { return QRect(R.Left, R.Top, R.Width(), R.Height()); }

// The virtual key code of a Qt key (0 when it has none).
WORD VirtualKeyFromQt(int QtKey, Qt::KeyboardModifiers Modifiers);
TShiftState ShiftFromQt(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons = Qt::NoButton);

}  // namespace ui_detail
