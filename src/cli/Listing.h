#pragma once

#include "entries/Status.h"
#include "exchange/Export.h"

class QIODevice;
class QString;

// `tarvik --list FILE`, for scripts and terminals: reads the file into the five
// lists just as the program does at start, without a window or display, and
// prints them to out as UTF-8 with LF line ends. Each list gets a heading line
// ("# Tasks", "# Completed", "# Unresolved", "# Information", "# Requests"),
// always, followed by one line per row in display order: status, task text,
// added, edited and user, separated by TAB. Inside a field "\" prints as "\\",
// TAB as "\t", CR as "\r", LF as "\n", the other control characters (below
// U+0020, U+007F and U+0080 to U+009F) as "\x" with two lowercase hex digits,
// and the line and paragraph separators and the bidirectional controls (U+061C,
// U+200E, U+200F, U+2028 to U+202E, U+2066 to U+2069) and the byte-order mark
// U+FEFF as "\u{XXXX}".
//
// When reading stops at a failure, the rows read so far are still printed and
// the reading message goes to err. Returns the exit status: 0, 1 for a
// reading failure, 3 when writing to out fails (that outranks 1). A reader of
// out that went away (EPIPE) is no failure: the listing just ends there.
//
// Any other format prints the same rows in that form instead (see Export.h).
int RunListing(const QString &path, ExportFormat format, QIODevice &out, QIODevice &err);

// `tarvik --pdf OUT FILE`: reads the file as --list does and writes the
// category's list, as the window would print it, as a PDF file to out. Needs a
// GUI application (any platform, offscreen too) for the fonts. A file that
// cannot be read completely writes nothing. Returns the exit status.
int RunPdfExport(const QString &path, Category category, const QString &out, QIODevice &err);
