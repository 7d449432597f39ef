#include "thermal/trend/TrendCsv.h"

#include <QDateTime>

#include <cmath>

namespace TrendCsv {

QString UnitText(int unit)
{
    switch (unit) {
    case 0:
        return QStringLiteral("\u00B0C");
    case 1:
        return QStringLiteral("\u00B0F");
    case 2:
        return QStringLiteral("K");
    default:
        return QString();
    }
}

QString Field(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString Write(const QStringList &names, const QString &unit, const std::vector<const TrendRing *> &series,
              int64_t fromMs, int64_t toMs)
{
    const QString eol = QStringLiteral("\r\n");
    QString out = QStringLiteral("Time (UTC)");
    for (const QString &name : names)
        out += QLatin1Char(',') + Field(unit.isEmpty() ? name : name + QStringLiteral(" (") + unit + ')');
    out += eol;

    // A merge of the series by time: each keeps a cursor on its next sample.
    std::vector<size_t> next(series.size()), end(series.size());
    for (size_t s = 0; s < series.size(); ++s) {
        next[s] = series[s]->LowerBound(fromMs);
        end[s] = series[s]->LowerBound(toMs == INT64_MAX ? toMs : toMs + 1);
    }
    for (;;) {
        bool any = false;
        int64_t moment = 0;
        for (size_t s = 0; s < series.size(); ++s) {
            if (next[s] < end[s] && (!any || series[s]->TimeAt(next[s]) < moment)) {
                moment = series[s]->TimeAt(next[s]);
                any = true;
            }
        }
        if (!any)
            break;
        out += QDateTime::fromMSecsSinceEpoch(moment, Qt::UTC).toString(Qt::ISODateWithMs);
        for (size_t s = 0; s < series.size(); ++s) {
            out += QLatin1Char(',');
            if (next[s] < end[s] && series[s]->TimeAt(next[s]) == moment) {
                const float value = series[s]->ValueAt(next[s]++);
                if (!std::isnan(value))
                    out += QString::number(double(value), 'f', 2);
            }
        }
        out += eol;
    }
    return out;
}

} // namespace TrendCsv
