// Asks the update service for a newer version. The service exchange is not built yet:
// a check logs that it was asked for and finds nothing.
#pragma once

#include <QString>
#include <QWidget>

class AutoUpdate : public QWidget
{
    Q_OBJECT
public:
    explicit AutoUpdate(QWidget *parent = nullptr);

    void setupVersion(const QString &version);
    void getVersion();
    QString currentVersion() const { return m_version; }

private:
    QString m_version = QStringLiteral("1.0.2");
};
