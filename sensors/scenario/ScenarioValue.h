// A reading of a scenario: a constant, a list of values taken one per scan (null: the
// reading is absent in that scan), or points in time (seconds since initialisation)
// between which the value moves linearly.
#pragma once

#include <QJsonValue>
#include <QVector>

#include <optional>

class ScenarioValue
{
public:
    ScenarioValue() = default;
    explicit ScenarioValue(double constant);

    // False (and the value stays 0) when the JSON does not describe a value.
    bool parse(const QJsonValue &json);
    // Nothing when the reading is absent at that scan.
    std::optional<double> at(int scan, double seconds) const;

private:
    enum class Kind { Constant, PerScan, OverTime };
    struct Point {
        double time;
        double value;
    };
    Kind m_kind = Kind::Constant;
    double m_constant = 0.0;
    QVector<std::optional<double>> m_perScan;
    QVector<Point> m_points;
    bool m_loop = false;
};
