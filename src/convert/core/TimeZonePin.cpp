#include "convert/core/TimeZonePin.h"

#include <cstdlib>
#include <ctime>

namespace corvanel::convert {

void PinLocalTimeZone() {
#if defined(__GLIBC__)
    if (std::getenv("TZ") == nullptr) {
        setenv("TZ", ":/etc/localtime", 0);
        tzset();
    }
#endif
}

}  // namespace corvanel::convert
