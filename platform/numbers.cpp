#include "platform/numbers.h"

#include <QLocale>
#include <cmath>
#include <limits>

double rundeGerade(double value, int decimals) {
    if (!std::isfinite(value)) return value;
    const double scale = std::pow(10.0, decimals);
    // nearbyint rounds to nearest with ties to even in the default mode.
    return std::nearbyint(value * scale) / scale;
}

template <typename T>
static bool toInt(double value, T& out) {
    if (!std::isfinite(value)) return false;
    const double r = std::nearbyint(value);
    if (r < std::numeric_limits<T>::min() || r > std::numeric_limits<T>::max()) return false;
    out = static_cast<T>(r);
    return true;
}

bool toInt16(double value, qint16& out) { return toInt(value, out); }
bool toInt32(double value, qint32& out) { return toInt(value, out); }

qint16 toInt16Clamped(double value) {
    if (std::isnan(value)) return 0;
    qint16 out = 0;
    if (toInt16(value, out)) return out;
    return value < 0 ? std::numeric_limits<qint16>::min() : std::numeric_limits<qint16>::max();
}

QString zahlText(double value) {
    if (value == 0) value = 0;  // no "-0"
    QString s = QString::number(value, 'g', 15);
    s.replace(QLatin1String("e+"), QLatin1String("E+"));
    s.replace(QLatin1String("e-"), QLatin1String("E-"));
    const QString point = QLocale().decimalPoint();
    if (point != QLatin1String(".")) s.replace(QLatin1Char('.'), point);
    return s;
}
