#include "core/date_time_os.h"

namespace kelmora {

std::tm LocalCalendar(std::time_t at) {
  // Reads the time zone again when it was changed (/etc/localtime, or TZ), which localtime_r
  // alone never does once it has read it.
  tzset();
  std::tm local{};
  localtime_r(&at, &local);
  return local;
}

}  // namespace kelmora
