// The primary screen as the screen sampler sees it, kept on the GUI thread, where the
// toolkit keeps its screens: the screen's size in device pixels, current after every
// change of screens and readable from any thread, and full grabs through the toolkit.
#pragma once

#include <QImage>
#include <QMetaObject>
#include <QMutex>
#include <QObject>
#include <QSize>

class QScreen;

class DeskScreen : public QObject
{
    Q_OBJECT
public:
    enum class Kind { X11, Wayland, Other };

    // Create on the GUI thread.
    explicit DeskScreen(QObject *parent = nullptr);

    Kind kind() const { return m_kind; }
    QSize nativeSize() const;

    // Which kind of session a platform plugin name stands for.
    static Kind kindOf(const QString &platformName);

public slots:
    // Grabs the primary screen from the root window's corner; answers with grabbed(), an
    // empty picture when there is no screen or the grab yields nothing.
    void grab();

signals:
    void grabbed(const QImage &picture);

private:
    void follow(QScreen *screen);
    void update();

    const Kind m_kind;
    QMetaObject::Connection m_geometry;
    mutable QMutex m_sizeLock;
    QSize m_nativeSize;
};
