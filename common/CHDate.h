#pragma once
// The program's own date and time value: a serial day number whose fraction is
// the time of day. Day 0 is 31 December 1899, day 1 is 1 January 1900 and
// day 60 is 1 March 1900 (there is no 29 February 1900); the Gregorian
// calendar holds throughout.
//
// The conversions use the exact floating-point steps (single-precision
// factors included) that stored dates were written with, so a serial read
// from an old file maps to the same calendar day.
#include <string>

#include "CObject.h"

class CArchive;

class CHDate : public CObject {
    DECLARE_DYNCREATE(CHDate)

public:
    CHDate();
    explicit CHDate(double serial) : m_dSerial(serial) {}
    CHDate(const CHDate&) = default;
    CHDate& operator=(const CHDate&) = default;

    // The serial as one double.
    void Serialize(CArchive& ar) override;

    // Error bits: 1 year negative, 2 month outside 1..12, 4 day outside the
    // month, 8 hour, 16 minute, 32 second outside their range. The serial is
    // set even when bits are returned. Years 0..99 mean 1900..1999.
    unsigned char SetDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
    unsigned char SetTime(int hour, int minute, int second);  // bits 8, 16, 32 only
    void SetSerial(double serial) { m_dSerial = serial; }
    double GetSerial() const { return m_dSerial; }

    int Year() const;
    int Month() const;
    int Day() const;
    int DayOfWeek() const;   // 1 Sunday .. 7 Saturday
    int DayOfYear() const;
    int WeekOfYear() const;
    int Quarter() const;
    int Hour() const;
    int Minute() const;
    int Second() const;
    int IsLeapYear() const;
    int DaysInMonth(int month) const;

    // Moves the date by *count months; a last day of month stays a last day.
    // The time of day is dropped.
    int AddMonths(const short* count);

    // Pattern formatter (d, dd, ddd, dddd, m.., y, yy, yyyy, h, s, q, f, w, ww,
    // 'literal', / - : separators, a/p and am/pm suffixes). Returns out.
    char* Format(char* out, int size, const char* pattern) const;
    std::string Format(const std::string& pattern) const;

    // Reads a date (and time) from text. order 0 m/d/y, 1 d/m/y, 2 y/m/d,
    // negative = the locale's. Returns SetDate's bits, +64 when the text is no
    // date, +128 when a named weekday differs from the date's.
    int Parse(const char* text, int length, int order);

    bool operator==(const CHDate& o) const { return m_dSerial == o.m_dSerial; }

    // Locale values read once per process from section "intl" of the user's
    // win.ini through the profile functions.
    struct Locale {
        std::string shortDate = "mm/dd/yy";
        std::string longDate = "mm/dd/yy";
        char timeSep = ':';
        char dateSep = '/';
        int dateOrder = 0;
    };
    static const Locale& GetLocale();
    // Tests and the start-up code may replace the values read.
    static void SetLocale(const Locale& locale);

private:
    void Split(int& year, int& month, int& day) const;
    int TimeSeconds() const;

    double m_dSerial = 0.0;
};
