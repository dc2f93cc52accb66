#include "ScenarioValue.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

ScenarioValue::ScenarioValue(double constant)
    : m_constant(constant)
{
}

bool ScenarioValue::parse(const QJsonValue &json)
{
    *this = ScenarioValue();
    if (json.isDouble()) {
        m_constant = json.toDouble();
        return true;
    }
    if (!json.isObject())
        return false;
    const QJsonObject object = json.toObject();
    m_loop = object.value(QStringLiteral("loop")).toBool();
    if (object.value(QStringLiteral("scan")).isArray()) {
        for (const QJsonValue &v : object.value(QStringLiteral("scan")).toArray()) {
            if (v.isNull()) {
                m_perScan.append(std::nullopt);
                continue;
            }
            if (!v.isDouble())
                return false;
            m_perScan.append(v.toDouble());
        }
        m_kind = Kind::PerScan;
        return !m_perScan.isEmpty();
    }
    if (object.value(QStringLiteral("time")).isArray()) {
        for (const QJsonValue &v : object.value(QStringLiteral("time")).toArray()) {
            const QJsonArray pair = v.toArray();
            if (pair.size() != 2 || !pair.at(0).isDouble() || !pair.at(1).isDouble())
                return false;
            if (!m_points.isEmpty() && pair.at(0).toDouble() <= m_points.last().time)
                return false;
            m_points.append({pair.at(0).toDouble(), pair.at(1).toDouble()});
        }
        m_kind = Kind::OverTime;
        return !m_points.isEmpty();
    }
    return false;
}

std::optional<double> ScenarioValue::at(int scan, double seconds) const
{
    switch (m_kind) {
    case Kind::Constant:
        return m_constant;
    case Kind::PerScan: {
        const int n = m_perScan.size();
        const int i = m_loop ? std::max(scan, 0) % n : std::clamp(scan, 0, n - 1);
        return m_perScan.at(i);
    }
    case Kind::OverTime: {
        const double first = m_points.first().time;
        const double last = m_points.last().time;
        double t = seconds;
        if (m_loop && last > first && t > last)
            t = first + std::fmod(t - first, last - first);
        if (t <= first)
            return m_points.first().value;
        for (int i = 1; i < m_points.size(); ++i) {
            const Point &a = m_points.at(i - 1);
            const Point &b = m_points.at(i);
            if (t <= b.time)
                return a.value + (b.value - a.value) * (t - a.time) / (b.time - a.time);
        }
        return m_points.last().value;
    }
    }
    return m_constant;
}
