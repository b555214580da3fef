#pragma once
// TDateTime: days since 1899-12-30 in the integral part, the time of day in the fraction.
#include "framework/core/Exceptions.h"

using TDateTime = double;

TDateTime Now();
TDateTime EncodeDate(int Year, int Month, int Day);
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day);
void DecodeTime(TDateTime Value, int& Hour, int& Min, int& Sec, int& MSec);

// Formats with the framework's pattern letters: d dd (day), m mm (month; after h or hh:
// minutes), yy yyyy, h hh, n nn (minutes), s ss, z zzz (milliseconds), and text in quotes
// taken literally. Other characters are copied. "ddhhnnss" gives day, hour, minute and
// second with two digits each.
AnsiString FormatDateTime(const AnsiString& Format, TDateTime Value);
