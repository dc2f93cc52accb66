#include "GetDeskPixel.h"

#include "DeskScreen.h"
#include "DominantColour.h"
#include "X11StripGrabber.h"

#include <QDebug>

GetDeskPixel::GetDeskPixel(QObject *parent)
    : QThread(parent)
    , m_screen(new DeskScreen)
{
    connect(m_screen, &DeskScreen::grabbed, this, &GetDeskPixel::takeFullGrab, Qt::QueuedConnection);
}

GetDeskPixel::~GetDeskPixel()
{
    if (m_screen->thread() == QThread::currentThread())
        delete m_screen;
    else
        m_screen->deleteLater();
}

void GetDeskPixel::getDeskPixelRGB(int, int)
{
    if (m_waiting.exchange(true))
        return;
    // By name: the call then carries no functor of ours, made on the requesting thread
    // and freed on this one.
    QMetaObject::invokeMethod(this, "sample", Qt::QueuedConnection);
}

void GetDeskPixel::sample()
{
    m_waiting = false;
    if (m_fullGrabRunning)
        return; // its answer serves this request too
    if (m_screen->kind() == DeskScreen::Kind::Wayland) {
        noteOnce(Notice::Wayland, QStringLiteral("GetDeskPixel: Wayland shows the screen to no program; "
                                                 "the screen light modes get no colour"));
        return;
    }
    if (m_screen->kind() == DeskScreen::Kind::X11 && connectStrips()) {
        sampleStrips();
        return;
    }
    fullGrab();
}

void GetDeskPixel::fullGrab()
{
    m_fullGrabRunning = true;
    QMetaObject::invokeMethod(m_screen, "grab", Qt::QueuedConnection);
}

bool GetDeskPixel::connectStrips()
{
    if (!m_stripsTried) {
        m_stripsTried = true;
        QString whyNot;
        m_strips = X11StripGrabber::connect(&whyNot);
        if (!m_strips)
            noteOnce(Notice::NoStrips, QStringLiteral("GetDeskPixel: %1, grabbing the whole screen").arg(whyNot));
    }
    return m_strips != nullptr;
}

void GetDeskPixel::sampleStrips()
{
    if (m_strips->isXWayland()) {
        noteOnce(Notice::Wayland, QStringLiteral("GetDeskPixel: Xwayland shows only black; "
                                                 "the screen light modes get no colour"));
        return;
    }
    const QSize size = m_screen->nativeSize();
    if (size.isEmpty()) {
        noteOnce(Notice::NoPicture, QStringLiteral("GetDeskPixel: no screen to read, no colour sent"));
        return;
    }
    if (m_picks.source() != size)
        m_picks = FastScalePicks(size);
    QString whyNot;
    const QVector<QRgb> values = m_strips->pixels(m_picks.points(), &whyNot);
    if (values.isEmpty()) {
        // The screens may be changing under us: a fresh connection is tried at the next
        // request, this one goes to the toolkit's grab.
        noteOnce(Notice::StripsFailed, QStringLiteral("GetDeskPixel: %1, grabbing the whole screen").arg(whyNot));
        m_strips.reset();
        m_stripsTried = false;
        fullGrab();
        return;
    }
    answer(m_picks.assemble(values));
}

void GetDeskPixel::takeFullGrab(const QImage &picture)
{
    m_fullGrabRunning = false;
    if (picture.isNull()) {
        noteOnce(Notice::NoPicture, QStringLiteral("GetDeskPixel: the screen grab yields no picture, no colour sent"));
        return;
    }
    answer(FastScalePicks::scaled(picture));
}

void GetDeskPixel::answer(const QImage &scaled)
{
    const std::optional<DeskColour> colour = DominantColour::of(scaled);
    if (colour)
        emit sendDeskPixelRGB(colour->red, colour->green, colour->blue);
}

void GetDeskPixel::noteOnce(Notice notice, const QString &text)
{
    const unsigned bit = 1u << unsigned(notice);
    if (m_noted & bit)
        return;
    m_noted |= bit;
    qWarning().noquote() << text;
}
