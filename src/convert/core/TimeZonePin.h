#pragma once

namespace corvanel::convert {

// The ZIP library turns every entry's date into local time when it opens a package. With TZ
// unset, the GNU C library looks at /etc/localtime again for each such conversion: dozens of
// file-system calls per document. Naming that same zone in TZ once keeps every time's meaning
// and drops those calls. A TZ the user set is kept. Call at start-up, before any thread runs
// (it changes the environment).
void PinLocalTimeZone();

}  // namespace corvanel::convert
