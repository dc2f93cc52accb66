// Draws every image of both programs from code, so the look is our own and can be
// reproduced: background, logo, menu indicator, window buttons, switch knobs, icon,
// warning sign and the colour wheel, and the control program's tray icon and warning.
#include <QConicalGradient>
#include <QDir>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <cstdio>

namespace {

QImage canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

QImage background()
{
    QImage image(1000, 600, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient base(0, 0, 1000, 600);
    base.setColorAt(0.0, QColor(24, 26, 32));
    base.setColorAt(1.0, QColor(10, 11, 14));
    p.fillRect(image.rect(), base);
    // The menu column on the left, a shade lighter.
    QLinearGradient menu(0, 0, 186, 0);
    menu.setColorAt(0.0, QColor(34, 37, 45));
    menu.setColorAt(1.0, QColor(26, 28, 35));
    p.fillRect(QRect(0, 45, 186, 555), menu);
    // Title bar and its hairline.
    p.fillRect(QRect(0, 0, 1000, 45), QColor(16, 17, 21));
    p.fillRect(QRect(0, 45, 1000, 1), QColor(0, 150, 170, 120));
    // A faint diagonal line pattern in the content area.
    p.setPen(QPen(QColor(255, 255, 255, 6), 1));
    for (int x = -600; x < 1000; x += 24)
        p.drawLine(x, 600, x + 600, 46);
    // A soft glow behind the dial area.
    QRadialGradient glow(725, 320, 300);
    glow.setColorAt(0.0, QColor(0, 160, 200, 40));
    glow.setColorAt(1.0, QColor(0, 160, 200, 0));
    p.fillRect(QRect(186, 46, 814, 554), glow);
    return image;
}

QImage logo()
{
    QImage image = canvas(146, 23);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(16);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    const QString name = QStringLiteral("VELTRIMA");
    // The window centres the label, so the mark and the name are centred in the image:
    // ink on one side only would put the logo off the window's centre.
    const int markWidth = 18;
    const int gap = 6;
    const QFontMetrics metrics(font);
    const int nameWidth = metrics.horizontalAdvance(name);
    const int left = (image.width() - markWidth - gap - nameWidth) / 2;
    // A small prism mark, then the name.
    QPainterPath mark;
    mark.moveTo(left, 20);
    mark.lineTo(left + markWidth / 2, 2);
    mark.lineTo(left + markWidth, 20);
    mark.closeSubpath();
    QLinearGradient g(left, 2, left + markWidth, 20);
    g.setColorAt(0.0, QColor(255, 60, 90));
    g.setColorAt(0.5, QColor(60, 230, 120));
    g.setColorAt(1.0, QColor(40, 120, 255));
    p.fillPath(mark, g);
    p.setFont(font);
    p.setPen(QColor(235, 238, 242));
    const int baseline = (image.height() + metrics.ascent() - metrics.descent()) / 2;
    p.drawText(QPoint(left + markWidth + gap, baseline), name);
    return image;
}

QImage menuBar()
{
    QImage image = canvas(5, 30);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, 30);
    g.setColorAt(0.0, QColor(0, 229, 224));
    g.setColorAt(1.0, QColor(2, 93, 182));
    p.fillRect(image.rect(), g);
    return image;
}

QImage closeButton()
{
    QImage image = canvas(15, 15);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(220, 220, 220), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(2.5, 2.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 2.5), QPointF(2.5, 12.5));
    return image;
}

QImage minimiseButton()
{
    QImage image = canvas(18, 15);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(220, 220, 220), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3, 11), QPointF(15, 11));
    return image;
}

QImage switchKnob(bool on)
{
    QImage image = canvas(19, 19);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(7, 7, 10);
    if (on) {
        g.setColorAt(0.0, QColor(120, 255, 250));
        g.setColorAt(1.0, QColor(0, 190, 200));
    } else {
        g.setColorAt(0.0, QColor(200, 200, 200));
        g.setColorAt(1.0, QColor(120, 120, 120));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(QRectF(1.5, 1.5, 16, 16));
    return image;
}

// Drawn on a 64-unit grid and scaled, so the desktop's icon sizes are as sharp as the window's.
QImage icon(int size = 64)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 22, 28));
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    // A module silhouette with five lit LEDs.
    p.setBrush(QColor(60, 64, 74));
    p.drawRoundedRect(QRectF(14, 10, 36, 44), 4, 4);
    const QColor leds[] = {QColor(255, 0, 0), QColor(216, 255, 0), QColor(0, 255, 59), QColor(0, 98, 255),
                           QColor(167, 0, 255)};
    for (int i = 0; i < 5; ++i) {
        p.setBrush(leds[i]);
        p.drawRect(QRectF(18 + i * 6, 14, 4, 8));
    }
    p.setBrush(QColor(200, 170, 60));
    for (int i = 0; i < 6; ++i)
        p.drawRect(QRectF(17 + i * 5, 48, 3, 6));
    return image;
}

QImage warning()
{
    QImage image = canvas(48, 48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath triangle;
    triangle.moveTo(24, 4);
    triangle.lineTo(45, 42);
    triangle.lineTo(3, 42);
    triangle.closeSubpath();
    p.fillPath(triangle, QColor(245, 180, 30));
    p.setPen(QPen(QColor(30, 30, 30), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(24, 17), QPointF(24, 29));
    p.drawPoint(QPointF(24, 36));
    return image;
}

// Hue around the circle, white at the centre, full colour at the rim (radius 88).
QImage colourWheel()
{
    const int size = 176;
    const double radius = size / 2.0;
    QImage image = canvas(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = x + 0.5 - radius;
            const double dy = y + 0.5 - radius;
            const double distance = std::sqrt(dx * dx + dy * dy);
            if (distance > radius)
                continue;
            double hue = std::atan2(-dy, dx) / (2 * M_PI);
            if (hue < 0)
                hue += 1.0;
            const double saturation = qBound(0.0, distance / (radius - 1), 1.0);
            QColor c = QColor::fromHsvF(hue, saturation, 1.0);
            const double edge = qBound(0.0, radius - distance, 1.0);
            c.setAlphaF(edge);
            image.setPixelColor(x, y, c);
        }
    }
    return image;
}

bool save(const QImage &image, const QDir &dir, const char *name, const char *format = "PNG")
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (!image.save(path, format)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <ui image folder> [<control program image folder> [<hicolor icon folder>]]\n", argv[0]);
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral(".")))
        return 1;
    bool ok = save(background(), dir, "Main_BG.png");
    ok = save(logo(), dir, "KV_Logo.png") && ok;
    ok = save(menuBar(), dir, "Menu_Bar.png") && ok;
    ok = save(closeButton(), dir, "Close.png") && ok;
    ok = save(minimiseButton(), dir, "Min.png") && ok;
    ok = save(switchKnob(true), dir, "Btn_Switch_ON.png") && ok;
    ok = save(switchKnob(false), dir, "Btn_Switch_OFF.png") && ok;
    ok = save(icon(), dir, "VELTRIMA_Icon.png") && ok;
    ok = save(warning(), dir, "Warning.png") && ok;
    ok = save(colourWheel(), dir, "palette.png") && ok;
    if (argc > 2) {
        // The control program's tray icon and shutdown warning share the window's art.
        QDir control(QString::fromLocal8Bit(argv[2]));
        if (!control.mkpath(QStringLiteral(".")))
            return 1;
        ok = save(icon(), control, "icon.ico", "ICO") && ok;
        ok = save(warning(), control, "Warning_Alert.png") && ok;
    }
    if (argc > 3) {
        // The desktop's icon theme: <folder>/<n>x<n>/apps/veltrima-rgb.png.
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            QDir themed(QString::fromLocal8Bit(argv[3]) + QStringLiteral("/%1x%1/apps").arg(size));
            if (!themed.mkpath(QStringLiteral(".")))
                return 1;
            ok = save(icon(size), themed, "veltrima-rgb.png") && ok;
        }
    }
    return ok ? 0 : 1;
}
