#pragma once
// The system's side of the date-time (date_time_posix.cpp, date_time_windows.cpp): the local
// calendar of the system's time zone.

#include <ctime>

namespace kelmora {

// The local calendar date and time at an instant, the time zone read again when it was changed.
std::tm LocalCalendar(std::time_t at);

}  // namespace kelmora
