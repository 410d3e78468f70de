#include "CHDate.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <optional>

#include "CArchive.h"
#include "QsProfile.h"

IMPLEMENT_DYNCREATE(CHDate, CObject)

namespace {
const char* const kHDateWeekdays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                       "Thursday", "Friday", "Saturday"};
const char* const kHDateMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                      "July",    "August",   "September", "October", "November", "December"};

bool HDateEqualNoCase(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Reads the "intl" values of the user's win.ini, each into a 50-character buffer.
CHDate::Locale HDateReadLocale() {
    tzset();
    CHDate::Locale loc;
    char buf[50];
    GetPrivateProfileString("intl", "sShortDate", "mm/dd/yy", buf, sizeof buf, "win.ini");
    loc.shortDate = buf;
    GetPrivateProfileString("intl", "sLongDate", "mm/dd/yy", buf, sizeof buf, "win.ini");
    loc.longDate = buf;
    GetPrivateProfileString("intl", "sTime", ":", buf, sizeof buf, "win.ini");
    loc.timeSep = buf[0] ? buf[0] : ':';
    GetPrivateProfileString("intl", "sDate", "/", buf, sizeof buf, "win.ini");
    loc.dateSep = buf[0] ? buf[0] : '/';
    loc.dateOrder = static_cast<int>(GetPrivateProfileInt("intl", "iDate", 0, "win.ini"));
    return loc;
}

std::mutex gHDateLocaleMutex;
std::optional<CHDate::Locale> gHDateLocale;
}  // namespace

const CHDate::Locale& CHDate::GetLocale() {
    std::lock_guard<std::mutex> lock(gHDateLocaleMutex);
    if (!gHDateLocale) gHDateLocale = HDateReadLocale();
    return *gHDateLocale;
}

void CHDate::SetLocale(const Locale& locale) {
    std::lock_guard<std::mutex> lock(gHDateLocaleMutex);
    gHDateLocale = locale;
}

CHDate::CHDate() { GetLocale(); }

unsigned char CHDate::SetDate(int year, int month, int day, int hour, int minute, int second) {
    int y = year;
    if (y >= 0 && y <= 99) y += 1900;
    const int m = month;
    const double yp = y - std::floor(static_cast<double>((12 - m) * 0.1f));
    const double a = std::floor((yp + 4712.0) * 365.25);
    const double m3 = m - 3;
    const double b = std::floor(((m3 - std::floor(m3 * (1.0 / 12.0)) * 12.0) * 30.6) + 0.5);
    double serial = day + b + a + 61.0 - std::floor(std::floor(yp * 0.01 + 1.0) * 0.75) - 2415020.0;
    m_dSerial = std::floor(serial) +
                ((hour * 60.0f + minute) * 60.0f + second) * static_cast<double>(1.0f / 86400.0f);
    unsigned char bits = 0;
    if (year < 0) bits |= 1;
    if (month < 1 || month > 12) bits |= 2;
    if (day < 1 || day > DaysInMonth(month)) bits |= 4;
    if (hour < 0 || hour > 23) bits |= 8;
    if (minute < 0 || minute > 59) bits |= 16;
    if (second < 0 || second > 59) bits |= 32;
    return bits;
}

unsigned char CHDate::SetTime(int hour, int minute, int second) {
    m_dSerial = std::floor(m_dSerial) +
                ((hour * 60.0f + minute) * 60.0f + second) * static_cast<double>(1.0f / 86400.0f);
    unsigned char bits = 0;
    if (hour < 0 || hour > 23) bits |= 8;
    if (minute < 0 || minute > 59) bits |= 16;
    if (second < 0 || second > 59) bits |= 32;
    return bits;
}

void CHDate::Split(int& year, int& month, int& day) const {
    const double s = std::floor(m_dSerial);
    // A serial far outside the calendar (years 1 to 9999), NaN included, as
    // a damaged file may hold, has no date: all three parts are 0.
    if (!(s >= -693594.0 && s <= 2958464.0)) {
        year = month = day = 0;
        return;
    }
    const double z = s + 2415020.0;
    const double zp = std::floor(std::floor((z - 4479.5) * 2.7379070069885075e-5) * 0.75 + 0.5) - 37.0 + z;
    year = static_cast<int>(std::floor(zp * 0.0027378507871321013) - 4712.0);
    const double r = std::floor((zp - 59.25) - std::floor((zp - 59.25) * 0.0027378507871321013) * 365.25) + 0.5;
    day = static_cast<int>(std::floor(r - std::floor(r * 0.032679738562091505) * 30.6) + 1.0);
    month = (static_cast<int>(std::floor(r * 0.032679738562091505)) + 2) % 12 + 1;
}

int CHDate::Year() const { int y, m, d; Split(y, m, d); return y; }
int CHDate::Month() const { int y, m, d; Split(y, m, d); return m; }
int CHDate::Day() const { int y, m, d; Split(y, m, d); return d; }

int CHDate::DayOfWeek() const {
    const double s = std::floor(m_dSerial);
    if (!std::isfinite(s)) return 0;
    return static_cast<int>(s - std::floor(s / 7.0) * 7.0) + 1;
}

int CHDate::IsLeapYear() const {
    const int y = Year();
    return ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0) ? 1 : 0;
}

int CHDate::DaysInMonth(int month) const {
    switch (month) {
    case 2: return 28 + IsLeapYear();
    case 4: case 6: case 9: case 11: return 30;
    default: return 31;
    }
}

int CHDate::DayOfYear() const {
    int y, m, d;
    Split(y, m, d);
    int n = d;
    if (m >= 2) n += 31;
    if (m >= 3) n += 28 + IsLeapYear();
    if (m >= 4) n += static_cast<int>(std::floor((m - 3) * 30.6));
    return n;
}

int CHDate::WeekOfYear() const {
    const double s = std::floor(m_dSerial);
    return static_cast<int>(std::floor((s + 0.25) / 7.0) - std::floor((Year() - 1900) * 52.17785 + 0.25) + 1.0);
}

int CHDate::Quarter() const { return (Month() + 2) / 3; }

int CHDate::TimeSeconds() const {
    const double s = std::floor(m_dSerial);
    return static_cast<int>(std::floor(std::floor((m_dSerial - s) * 864005.0) / 10.0));
}
int CHDate::Hour() const { return TimeSeconds() / 3600; }
int CHDate::Minute() const { const int t = TimeSeconds(); return (t - (t / 3600) * 3600) / 60; }
int CHDate::Second() const { return TimeSeconds() % 60; }

int CHDate::AddMonths(const short* count) {
    int y, m, d;
    Split(y, m, d);
    const int daysNow = DaysInMonth(m);
    const bool lastDay = d == daysNow;
    int mp = m + (count ? *count : 0);
    if (mp < 1) {
        y -= std::abs(mp / 12) + 1;
        mp = 12 + (mp % 12);
    } else if (mp > 12) {
        y += (mp - 1) / 12;
        mp = mp % 12;
        if (mp == 0) mp = 12;
    }
    SetDate(y, 1, 1, 0, 0, 0);
    if (lastDay) {
        SetDate(y, mp, 1, 0, 0, 0);
        d = DaysInMonth(mp);
    }
    SetDate(y, mp, d, 0, 0, 0);
    return 0;
}

namespace {
struct HDateOut {
    char* buf;
    int size;
    void Append(const std::string& piece) {
        const size_t have = std::strlen(buf);
        if (static_cast<int>(have + piece.size()) < size) std::memcpy(buf + have, piece.c_str(), piece.size() + 1);
    }
};

void HDateReplaceFirst(std::string& s, const char* what, const std::string& with) {
    size_t p = s.find(what);
    if (p != std::string::npos) s.replace(p, std::strlen(what), with);
}
}  // namespace

char* CHDate::Format(char* out, int size, const char* pattern) const {
    if (!out || size <= 0) return out;
    out[0] = '\0';
    std::string pat = pattern ? std::string(pattern).substr(0, 127) : std::string();
    HDateOut o{out, size};

    bool twelve = false;
    std::string suffix;
    const bool pm = (m_dSerial - std::floor(m_dSerial)) >= 0.5;
    const size_t n = pat.size();
    auto lo = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    if (n >= 3 && lo(pat[n - 1]) == 'p' && pat[n - 2] == '/' && lo(pat[n - 3]) == 'a') {
        twelve = true;
        suffix = std::string(1, pm ? pat[n - 1] : pat[n - 3]);
        pat.erase(n - 3);
    } else if (n >= 5 && lo(pat[n - 1]) == 'm' && lo(pat[n - 2]) == 'p' && pat[n - 3] == '/' &&
               lo(pat[n - 4]) == 'm' && lo(pat[n - 5]) == 'a') {
        twelve = true;
        suffix = pm ? pat.substr(n - 2, 2) : pat.substr(n - 5, 2);
        pat.erase(n - 5);
    }
    const Locale& loc = GetLocale();
    HDateReplaceFirst(pat, "dddddd", loc.longDate);
    HDateReplaceFirst(pat, "ddddd", loc.shortDate);
    HDateReplaceFirst(pat, "ttttt", "h:mm:ss");
    if (pat.size() > 255) pat.resize(255);

    int y, mo, d;
    Split(y, mo, d);
    bool timeMode = false;
    char num[32];
    auto number = [&](int v, bool two) {
        std::snprintf(num, sizeof num, two ? "%02d" : "%d", v);
        return std::string(num);
    };
    for (size_t i = 0; i < pat.size();) {
        const char c = pat[i];
        if (c == '\'') {
            size_t e = pat.find('\'', i + 1);
            if (e == std::string::npos) return out;
            o.Append(pat.substr(i + 1, e - i - 1));
            i = e + 1;
            continue;
        }
        if (c == '/' || c == '-') { o.Append(std::string(1, loc.dateSep)); timeMode = false; ++i; continue; }
        if (c == ':') { o.Append(std::string(1, loc.timeSep)); timeMode = true; ++i; continue; }
        const char l = lo(c);
        if (l == 'd' || l == 'y') timeMode = false;
        else if (l == 'h' || l == 's') timeMode = true;
        else if (!(l == 'f' || l == 'm' || l == 'q' || l == 'w')) { o.Append(std::string(1, c)); ++i; continue; }
        size_t j = i;
        while (j < pat.size() && pat[j] == c) ++j;
        const int len = static_cast<int>(j - i);
        i = j;
        const bool two = len == 2;
        switch (l) {
        case 'd':
            if (len <= 2) o.Append(number(d, two));
            else if (len == 3 || len >= 5) o.Append(std::string(kHDateWeekdays[DayOfWeek() - 1]).substr(0, 3));
            else o.Append(kHDateWeekdays[DayOfWeek() - 1]);
            break;
        case 'm':
            if (len <= 2) o.Append(number(timeMode ? Minute() : mo, two));
            else if (len == 3 || len >= 5) o.Append(std::string(kHDateMonths[mo - 1]).substr(0, 3));
            else o.Append(kHDateMonths[mo - 1]);
            break;
        case 'y':
            if (len == 1) o.Append(number(DayOfYear(), false));
            else if (len == 2) o.Append(number(y % 100, true));
            else if (len == 4) o.Append(number(y, false));
            break;
        case 'h': {
            int h = Hour();
            if (twelve) { h %= 12; if (h == 0) h = 12; }
            if (len <= 2) o.Append(number(h, two));
            break;
        }
        case 's': if (len <= 2) o.Append(number(Second(), two)); break;
        case 'q': if (len <= 2) o.Append(number(Quarter(), two)); break;
        case 'f': if (len <= 2) o.Append(number(Quarter() <= 2 ? 1 : 2, two)); break;
        case 'w':
            if (len == 1) o.Append(number(DayOfWeek(), false));
            else if (len == 2) o.Append(number(WeekOfYear(), false));
            break;
        }
    }
    o.Append(suffix);
    return out;
}

std::string CHDate::Format(const std::string& pattern) const {
    char buf[512];
    Format(buf, sizeof buf, pattern.c_str());
    return buf;
}

int CHDate::Parse(const char* text, int length, int order) {
    const Locale& loc = GetLocale();
    if (order < 0) order = loc.dateOrder;
    if (!text || length < 0) return 64;
    std::string s(text, static_cast<size_t>(length));
    s.push_back('\0');
    int fields[3] = {0, 0, 0};  // month, day, year
    bool set[3] = {false, false, false};
    int nDate = 0, nTime = 0, timeVals[3] = {0, 0, 0};
    int weekday = -1;
    bool error = false, monthSet = false;
    auto slotFor = [](int ord, int pos) {
        static const int tab[3][3] = {{0, 1, 2}, {1, 0, 2}, {2, 0, 1}};
        return tab[ord][pos];
    };
    size_t i = 0;
    while (i < s.size() && !error) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (std::isalpha(c)) {
            size_t j = i;
            while (j < s.size() && std::isalpha(static_cast<unsigned char>(s[j]))) ++j;
            if (j - i > 128) { error = true; break; }
            std::string w = s.substr(i, j - i);
            i = j;
            if (w.size() <= 2) continue;
            std::string lw;
            for (char ch : w) lw += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            int month = 0;
            for (int k = 0; k < 12; ++k)
                if (HDateEqualNoCase(lw.substr(0, 3), std::string(kHDateMonths[k]).substr(0, 3).c_str())) month = k + 1;
            if (month) {
                if (!monthSet) {
                    if (nDate == 0) order = 0;
                    else if (nDate == 1) {
                        if (set[1]) order = 1;
                        else if (set[2]) order = 2;
                        else { error = true; break; }
                    }
                    fields[0] = month; set[0] = true; monthSet = true; ++nDate;
                } else if (nDate == 1 && order == 0) {
                    fields[1] = fields[0]; set[1] = true;
                    fields[0] = month; order = 1; nDate = 2;
                } else { error = true; }
                continue;
            }
            for (int k = 0; k < 7; ++k)
                if (HDateEqualNoCase(lw.substr(0, 2), std::string(kHDateWeekdays[k]).substr(0, 2).c_str())) {
                    if (weekday >= 0) error = true;
                    weekday = k + 1;
                    break;
                }
            continue;
        }
        if (std::isdigit(c)) {
            size_t j = i;
            while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
            if (j - i > 128) { error = true; break; }
            const long v = std::strtol(s.substr(i, j - i).c_str(), nullptr, 10);
            char next = j < s.size() ? s[j] : '\0';
            i = j + 1;
            const bool dateSep = next == '-' || next == '/' || next == loc.dateSep;
            const bool timeSep = next == ':' || next == loc.timeSep;
            if (timeSep || (!dateSep && nDate >= 3)) {
                if (nTime >= 3) { error = true; break; }
                timeVals[nTime++] = static_cast<int>(v);
                continue;
            }
            if (nDate >= 3) { error = true; break; }
            int slot;
            if (v >= 32) {
                if (nDate == 0) order = 2;
                else if (nDate == 1) { error = true; break; }
                slot = 2;
            } else {
                slot = slotFor(order, nDate);
            }
            if (set[slot]) { error = true; break; }
            fields[slot] = static_cast<int>(v);
            set[slot] = true;
            ++nDate;
            continue;
        }
        ++i;
    }
    if (!error && nDate < 3 && nTime == 0) error = true;
    if (error) return 64;
    int result;
    if (nDate == 0) {
        m_dSerial = 0.0;
        result = SetTime(timeVals[0], timeVals[1], timeVals[2]);
    } else {
        result = SetDate(fields[2], fields[0], fields[1], timeVals[0], timeVals[1], timeVals[2]);
        if (weekday > 0 && weekday != DayOfWeek()) result += 128;
    }
    return result;
}

void CHDate::Serialize(CArchive& ar) {
    if (ar.IsStoring()) ar << m_dSerial;
    else ar >> m_dSerial;
}
