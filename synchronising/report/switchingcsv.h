#pragma once

#include "selmexstart.h"
#include "switchinglog.h"

#include <QByteArray>
#include <QString>

// The log as CSV, UTF-8: a comment line with the start, a header and one row a
// switching, oldest first; the time in seconds, the slip in whole hertz, the angle, the
// voltage difference and the closing current to 0.01, each in its shortest form with a
// full stop whatever the locale, text fields quoted where they hold a comma, quote or
// line break.
QByteArray switchingsCsv(const SelmexStart &start, const SwitchingLog &log);
