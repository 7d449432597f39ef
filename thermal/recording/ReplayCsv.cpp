#include "thermal/recording/ReplayCsv.h"

#include <QDateTime>

#include "thermal/trend/TrendCsv.h"

namespace ReplayCsv {

QString Write(const QStringList &shapeNames, const QString &unit, int64_t startUtcMs,
              const std::vector<int64_t> &frameTimesMs,
              const std::vector<std::vector<RecMeasure::Reading>> &readings)
{
    const QString eol = QStringLiteral("\r\n");
    const QString suffix = unit.isEmpty() ? QString() : QStringLiteral(" (") + unit + QLatin1Char(')');
    QString out = QStringLiteral("Time (UTC),Time (s)");
    for (const QString &name : shapeNames)
        for (const char *value : {" max", " min", " avg"})
            out += QLatin1Char(',') + TrendCsv::Field(name + QLatin1String(value) + suffix);
    out += eol;
    for (size_t f = 0; f < frameTimesMs.size(); ++f) {
        const int64_t ms = frameTimesMs[f];
        out += QDateTime::fromMSecsSinceEpoch(startUtcMs + ms, Qt::UTC).toString(Qt::ISODateWithMs);
        out += QLatin1Char(',') + QString::number(double(ms) / 1000.0, 'f', 3);
        for (size_t s = 0; s < size_t(shapeNames.size()) && s < readings.size(); ++s) {
            const RecMeasure::Reading *r = f < readings[s].size() ? &readings[s][f] : nullptr;
            for (int k = 0; k < 3; ++k) {
                out += QLatin1Char(',');
                if (r && r->valid)
                    out += QString::number(double(k == 0 ? r->max : k == 1 ? r->min : r->avg), 'f', 2);
            }
        }
        out += eol;
    }
    return out;
}

} // namespace ReplayCsv
