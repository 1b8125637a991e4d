// SPDX-License-Identifier: GPL-3.0-or-later
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>

#include "io/local_date_time.h"

namespace vc {

namespace {

std::locale UserLocale() {
    try {
        return std::locale("");
    } catch (const std::runtime_error&) {
        return std::locale::classic();  // an unknown locale in the environment
    }
}

}  // namespace

std::string LocalDateTimeText(std::chrono::system_clock::time_point when) {
    const std::time_t time = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&time, &local);
    std::ostringstream text;
    text.imbue(UserLocale());
    text << std::put_time(&local, "%x %X");
    return text.str();
}

}  // namespace vc
