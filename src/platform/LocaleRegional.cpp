// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LocaleRegional.h"

#include <QLocale>
#include <QString>

namespace km740 {

namespace {

// The first character of a date or time pattern that is not a field letter
// or a blank, as a single byte; fallback when there is none.
char separatorOf(const QString& pattern, char fallback)
{
    bool quoted = false;
    for (QChar c : pattern) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (quoted || c.isLetter() || c.isSpace())
            continue;
        const ushort u = c.unicode();
        return u > 0 && u < 0x80 ? static_cast<char>(u) : fallback;
    }
    return fallback;
}

} // namespace

Regional regionalFromLocale(const QLocale& locale)
{
    Regional r;
    // A comma locale writes 1.1 without a point.
    r.decimal = locale.toString(1.1).contains(QLatin1Char('.')) ? '.' : ',';
    r.dateSep = separatorOf(locale.dateFormat(QLocale::ShortFormat), '/');
    r.timeSep = separatorOf(locale.timeFormat(QLocale::ShortFormat), ':');
    return r;
}

} // namespace km740
