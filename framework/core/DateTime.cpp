#include "framework/core/DateTime.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "framework/core/Translation.h"

namespace {

// Days from 0001-01-01 style civil date to 1970-01-01 based counts (H. Hinnant's algorithm).
long DaysFromCivil(int Y, int M, int D)
{
    Y -= M <= 2;
    const long Era = (Y >= 0 ? Y : Y - 399) / 400;
    const unsigned Yoe = static_cast<unsigned>(Y - Era * 400);
    const unsigned Doy = (153 * (M + (M > 2 ? -3 : 9)) + 2) / 5 + D - 1;
    const unsigned Doe = Yoe * 365 + Yoe / 4 - Yoe / 100 + Doy;
    return Era * 146097 + static_cast<long>(Doe) - 719468;
}

void CivilFromDays(long Z, int& Y, int& M, int& D)
{
    Z += 719468;
    const long Era = (Z >= 0 ? Z : Z - 146096) / 146097;
    const unsigned Doe = static_cast<unsigned>(Z - Era * 146097);
    const unsigned Yoe = (Doe - Doe / 1460 + Doe / 36524 - Doe / 146096) / 365;
    const long Yr = static_cast<long>(Yoe) + Era * 400;
    const unsigned Doy = Doe - (365 * Yoe + Yoe / 4 - Yoe / 100);
    const unsigned Mp = (5 * Doy + 2) / 153;
    D = static_cast<int>(Doy - (153 * Mp + 2) / 5 + 1);
    M = static_cast<int>(Mp < 10 ? Mp + 3 : Mp - 9);
    Y = static_cast<int>(Yr + (M <= 2));
}

const long UnixEpochInDateTime = 25569;  // 1970-01-01 as a TDateTime

AnsiString Pad(int Value, int Width)
{
    AnsiString S = std::to_string(Value);
    while (static_cast<int>(S.size()) < Width) S.insert(S.begin(), '0');
    return S;
}

int DaysInMonth(int Year, int Month)
{
    static const int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool Leap = (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0;
    return Month == 2 && Leap ? 29 : Days[Month - 1];
}

}  // namespace

TDateTime EncodeDate(int Year, int Month, int Day)
{
    // A day past the end of its month is refused rather than rolled into the next month.
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInMonth(Year, Month))
        throw EConvertError(TranslateText("DateTime", "Invalid argument to date encode"));
    return static_cast<double>(DaysFromCivil(Year, Month, Day) + UnixEpochInDateTime);
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec)
{
    if (Hour < 0 || Hour > 23 || Min < 0 || Min > 59 || Sec < 0 || Sec > 59 || MSec < 0 || MSec > 999)
        throw EConvertError(TranslateText("DateTime", "Invalid argument to time encode"));
    return (((Hour * 60.0 + Min) * 60.0 + Sec) * 1000.0 + MSec) / 86400000.0;
}

void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day)
{
    CivilFromDays(static_cast<long>(std::floor(Value)) - UnixEpochInDateTime, Year, Month, Day);
}

void DecodeTime(TDateTime Value, int& Hour, int& Min, int& Sec, int& MSec)
{
    double Frac = Value - std::floor(Value);
    long long Ms = std::llround(Frac * 86400000.0);
    if (Ms >= 86400000) Ms = 86399999;
    MSec = static_cast<int>(Ms % 1000);
    Ms /= 1000;
    Sec = static_cast<int>(Ms % 60);
    Ms /= 60;
    Min = static_cast<int>(Ms % 60);
    Hour = static_cast<int>(Ms / 60);
}

TDateTime Now()
{
    using namespace std::chrono;
    auto T = system_clock::now();
    std::time_t Secs = system_clock::to_time_t(T);
    int Ms = static_cast<int>(duration_cast<milliseconds>(T.time_since_epoch()).count() % 1000);
    std::tm Local{};
    localtime_r(&Secs, &Local);
    return EncodeDate(Local.tm_year + 1900, Local.tm_mon + 1, Local.tm_mday) +
           EncodeTime(Local.tm_hour, Local.tm_min, Local.tm_sec < 60 ? Local.tm_sec : 59, Ms);
}

AnsiString FormatDateTime(const AnsiString& Format, TDateTime Value)
{
    int Year, Month, Day, Hour, Min, Sec, MSec;
    DecodeDate(Value, Year, Month, Day);
    DecodeTime(Value, Hour, Min, Sec, MSec);

    AnsiString Out;
    bool AfterHour = false;  // "m" right after an hour means minutes
    std::size_t I = 0;
    auto Run = [&](char C) {
        std::size_t N = 0;
        while (I + N < Format.size() && (Format[I + N] | 0x20) == C) ++N;
        return N;
    };
    while (I < Format.size()) {
        char C = Format[I];
        char L = static_cast<char>(C | 0x20);
        if (C == '\'' || C == '"') {
            std::size_t End = Format.find(C, I + 1);
            if (End == AnsiString::npos) End = Format.size();
            Out += Format.substr(I + 1, End - I - 1);
            I = End + 1;
            continue;
        }
        std::size_t N = (L >= 'a' && L <= 'z') ? Run(L) : 0;
        switch (N ? L : 0) {
        case 'd': Out += N >= 2 ? Pad(Day, 2) : std::to_string(Day); AfterHour = false; break;
        case 'y': Out += N <= 2 ? Pad(Year % 100, 2) : Pad(Year, 4); AfterHour = false; break;
        case 'm':
            if (AfterHour) Out += N >= 2 ? Pad(Min, 2) : std::to_string(Min);
            else Out += N >= 2 ? Pad(Month, 2) : std::to_string(Month);
            AfterHour = false;
            break;
        case 'h': Out += N >= 2 ? Pad(Hour, 2) : std::to_string(Hour); AfterHour = true; break;
        case 'n': Out += N >= 2 ? Pad(Min, 2) : std::to_string(Min); AfterHour = false; break;
        case 's': Out += N >= 2 ? Pad(Sec, 2) : std::to_string(Sec); AfterHour = false; break;
        case 'z': Out += N >= 3 ? Pad(MSec, 3) : std::to_string(MSec); AfterHour = false; break;
        default:
            Out += C;
            I += 1;
            continue;
        }
        I += N;
    }
    return Out;
}
