// A reading of a scenario: a constant, a list of values taken one per scan, or
// points in time (seconds since initialisation) between which the value moves linearly.
#pragma once

#include <QJsonValue>
#include <QVector>

class ScenarioValue
{
public:
    ScenarioValue() = default;
    explicit ScenarioValue(double constant);

    // False (and the value stays 0) when the JSON does not describe a value.
    bool parse(const QJsonValue &json);
    double at(int scan, double seconds) const;

private:
    enum class Kind { Constant, PerScan, OverTime };
    struct Point {
        double time;
        double value;
    };
    Kind m_kind = Kind::Constant;
    double m_constant = 0.0;
    QVector<double> m_perScan;
    QVector<Point> m_points;
    bool m_loop = false;
};
