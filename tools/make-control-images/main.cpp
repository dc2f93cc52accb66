// Draws the control program's images: the tray icon and the shutdown warning sign.
// Run by hand; the output is committed under control/resources/images/.
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

namespace {
QImage trayIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QLinearGradient gradient(0, 0, s, s);
    gradient.setColorAt(0.0, QColor(255, 40, 90));
    gradient.setColorAt(0.5, QColor(120, 60, 255));
    gradient.setColorAt(1.0, QColor(0, 210, 255));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 24, 32));
    p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.2, s * 0.2);
    // A memory stick: a bar with contacts and a lit strip along its top.
    p.setBrush(QColor(70, 70, 84));
    p.drawRect(QRectF(s * 0.12, s * 0.38, s * 0.76, s * 0.34));
    p.setBrush(gradient);
    p.drawRect(QRectF(s * 0.12, s * 0.26, s * 0.76, s * 0.10));
    p.setBrush(QColor(220, 180, 60));
    for (int i = 0; i < 6; ++i)
        p.drawRect(QRectF(s * (0.16 + i * 0.12), s * 0.74, s * 0.07, s * 0.08));
    return image;
}

QImage warningSign()
{
    QImage image(80, 70, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath triangle;
    triangle.moveTo(40, 3);
    triangle.lineTo(77, 67);
    triangle.lineTo(3, 67);
    triangle.closeSubpath();
    p.setPen(QPen(QColor(255, 255, 255), 3));
    p.setBrush(QColor(235, 160, 0));
    p.drawPath(triangle);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 30));
    p.drawRoundedRect(QRectF(36, 22, 8, 28), 3, 3);
    p.drawEllipse(QRectF(36, 54, 8, 8));
    return image;
}
} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QTextStream err(stderr);
    if (!trayIcon(64).save(out + QStringLiteral("/icon.ico"), "ICO")) {
        err << "cannot write icon.ico\n";
        return 1;
    }
    if (!warningSign().save(out + QStringLiteral("/Warning_Alert.png"), "PNG")) {
        err << "cannot write Warning_Alert.png\n";
        return 1;
    }
    return 0;
}
