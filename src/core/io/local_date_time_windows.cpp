// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <ctime>

#include "io/local_date_time.h"
#include "io/wide_text.h"

namespace vc {

namespace {

// The C runtime's local time (which honours TZ) as Windows's date functions take it.
SYSTEMTIME LocalSystemTime(std::chrono::system_clock::time_point when) {
    const std::time_t time = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_s(&local, &time);
    SYSTEMTIME system{};
    system.wYear = static_cast<WORD>(local.tm_year + 1900);
    system.wMonth = static_cast<WORD>(local.tm_mon + 1);
    system.wDayOfWeek = static_cast<WORD>(local.tm_wday);
    system.wDay = static_cast<WORD>(local.tm_mday);
    system.wHour = static_cast<WORD>(local.tm_hour);
    system.wMinute = static_cast<WORD>(local.tm_min);
    system.wSecond = static_cast<WORD>(local.tm_sec);
    return system;
}

// The locale's formats are short: Windows allows 80 characters for a date format.
constexpr int kLongestFormatted = 256;

std::wstring ShortDate(const wchar_t* localeName, const SYSTEMTIME& time) {
    wchar_t text[kLongestFormatted];
    const int length = ::GetDateFormatEx(localeName, DATE_SHORTDATE, &time, nullptr, text, kLongestFormatted, nullptr);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length - 1)) : std::wstring();
}

std::wstring LongTime(const wchar_t* localeName, const SYSTEMTIME& time) {
    wchar_t text[kLongestFormatted];
    const int length = ::GetTimeFormatEx(localeName, 0, &time, nullptr, text, kLongestFormatted);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length - 1)) : std::wstring();
}

}  // namespace

std::string LocalDateTimeText(std::chrono::system_clock::time_point when, const wchar_t* localeName) {
    const SYSTEMTIME time = LocalSystemTime(when);
    return Utf8Of(ShortDate(localeName, time) + L" " + LongTime(localeName, time));
}

std::string LocalDateTimeText(std::chrono::system_clock::time_point when) {
    return LocalDateTimeText(when, LOCALE_NAME_USER_DEFAULT);
}

}  // namespace vc
