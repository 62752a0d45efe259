#include <time.h>

#include "core/date_time_os.h"

namespace kelmora {

std::tm LocalCalendar(std::time_t at) {
  // Reads the TZ variable again, as the POSIX side reads the zone again.
  _tzset();
  std::tm local{};
  localtime_s(&local, &at);
  return local;
}

}  // namespace kelmora
