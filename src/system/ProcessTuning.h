#pragma once

namespace corvanel::system {

// Process-wide settings for a program that converts many documents one after another. Call at
// start-up, before any thread runs (it changes the environment and the allocator's settings).
// With the GNU C library (ProcessTuningPosix.cpp):
//
// - The ZIP library turns every entry's date into local time when it opens a package. With TZ
//   unset, the GNU C library looks at /etc/localtime again for each conversion: dozens of
//   file-system calls per document. Naming that same zone in TZ keeps every time's meaning
//   and drops those calls. A TZ the user set is kept.
// - A document's parse trees and parts are allocated and freed in blocks of up to a few
//   megabytes. The GNU allocator's defaults hand much of that back to the system after each
//   document, so the next one pays for the kernel clearing the pages again. Keeping freed
//   memory up to a bound for the next document avoids that.
//
// Windows needs neither (ProcessTuningWin32.cpp).
void TuneProcessForConversions();

}  // namespace corvanel::system
