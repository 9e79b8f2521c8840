// Draws every picture the windows load (skins, button icons, covers, icons) and the resource list
// that bundles them. Usage: make_artwork <output folder>; run it with QT_QPA_PLATFORM=offscreen.
//
// The output must not change from run to run, so that remaking the artwork leaves an unchanged
// tree untouched: no clock, no unseeded randomness, and the fonts are picked by file.

#include <QColor>
#include <QConicalGradient>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>

namespace {

QString g_outDir;
QStringList g_written;
bool g_failed = false;

// Opaque pictures are written without alpha: the windows draw them as plain bitmaps and an
// unused alpha channel only makes the files bigger.
void save(const QImage &image, const QString &name, bool transparent)
{
    QImage out = transparent ? image.convertToFormat(QImage::Format_ARGB32)
                             : image.convertToFormat(QImage::Format_RGB888);
    out.setDotsPerMeterX(3780);
    out.setDotsPerMeterY(3780);
    // Quality 0 asks Qt's PNG writer for the strongest compression.
    if (!out.save(g_outDir + QLatin1Char('/') + name, "PNG", 0)) {
        std::fprintf(stderr, "make_artwork: cannot write %s\n", qPrintable(name));
        g_failed = true;
        return;
    }
    g_written << name;
}

QImage transparentImage(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void smooth(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

// Fonts are loaded from their files so that another installed family of the same name cannot
// change the pictures; the family name is the fallback when a file is missing.
QString g_sans = QStringLiteral("DejaVu Sans");

QString loadFont(const QString &file, const QString &fallback)
{
    const int id = QFontDatabase::addApplicationFont(file);
    if (id < 0)
        return fallback;
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? fallback : families.first();
}

void loadFonts()
{
    const QString dir = QStringLiteral("/usr/share/fonts/truetype/dejavu/");
    g_sans = loadFont(dir + QStringLiteral("DejaVuSans-Bold.ttf"), g_sans);
    loadFont(dir + QStringLiteral("DejaVuSans.ttf"), g_sans);
}

QFont font(qreal pixelSize, bool bold, qreal letterSpacing = 0)
{
    QFont f(g_sans);
    f.setPixelSize(qRound(pixelSize));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    if (letterSpacing != 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    return f;
}

// Text as an outline, so it can take gradients and sits on fractional positions exactly.
QPainterPath textPath(const QString &text, const QFont &f, QPointF baseline)
{
    QPainterPath path;
    path.addText(baseline, f, text);
    return path;
}

// A small fixed pseudo-random sequence for the brushed-metal grain.
struct Grain {
    std::uint32_t state;
    explicit Grain(std::uint32_t seed) : state(seed) {}
    std::uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
};

QColor mix(const QColor &a, const QColor &b, qreal t)
{
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t),
                            static_cast<float>(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

// ---------------------------------------------------------------- the disc emblem

// A silver disc with a blue hub ring; the centre hole stays empty, so the ground shows through.
// `detail` adds the finer track rings that only read at larger sizes.
void drawDisc(QPainter &p, QPointF c, qreal r, bool detail, const QColor &rim)
{
    p.save();
    const qreal hole = r * 0.16;
    QPainterPath disc;
    disc.addEllipse(c, r, r);
    QPainterPath holePath;
    holePath.addEllipse(c, hole, hole);
    disc = disc.subtracted(holePath);

    // The rainbow sheen of a pressed disc, kept pale so it still reads as silver.
    QConicalGradient sheen(c, 35);
    const QColor silver(0xd9, 0xde, 0xe6), white(0xff, 0xff, 0xff);
    sheen.setColorAt(0.00, silver);
    sheen.setColorAt(0.07, QColor(0xbd, 0xd3, 0xf5));
    sheen.setColorAt(0.13, white);
    sheen.setColorAt(0.20, QColor(0xe9, 0xd9, 0xf3));
    sheen.setColorAt(0.30, QColor(0xa9, 0xb4, 0xc4));
    sheen.setColorAt(0.45, QColor(0xc7, 0xcf, 0xda));
    sheen.setColorAt(0.50, silver);
    sheen.setColorAt(0.57, QColor(0xf6, 0xe8, 0xc4));
    sheen.setColorAt(0.63, white);
    sheen.setColorAt(0.70, QColor(0xc4, 0xec, 0xe8));
    sheen.setColorAt(0.80, QColor(0xa6, 0xb0, 0xbf));
    sheen.setColorAt(0.95, QColor(0xc9, 0xd0, 0xdb));
    sheen.setColorAt(1.00, silver);
    p.setPen(Qt::NoPen);
    p.setBrush(sheen);
    p.drawPath(disc);

    if (detail) {
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < 6; ++i) {
            const qreal rr = r * (0.50 + 0.08 * i);
            p.setPen(QPen(QColor(255, 255, 255, i % 2 ? 40 : 24), std::max<qreal>(1.0, r * 0.012)));
            p.drawEllipse(c, rr, rr);
        }
    }

    // Clear plastic ring around the hub, then the blue hub ring itself.
    const qreal clear = r * 0.40;
    QRadialGradient clearRing(c, clear);
    clearRing.setColorAt(0.0, QColor(0xe8, 0xee, 0xf6));
    clearRing.setColorAt(1.0, QColor(0xb8, 0xc4, 0xd4));
    QPainterPath clearPath;
    clearPath.addEllipse(c, clear, clear);
    clearPath = clearPath.subtracted(holePath);
    p.setPen(Qt::NoPen);
    p.setBrush(clearRing);
    p.drawPath(clearPath);

    const qreal hubOuter = r * 0.31;
    QPainterPath hub;
    hub.addEllipse(c, hubOuter, hubOuter);
    QPainterPath hubInner;
    hubInner.addEllipse(c, r * 0.21, r * 0.21);
    hub = hub.subtracted(hubInner);
    QLinearGradient blue(c.x(), c.y() - hubOuter, c.x(), c.y() + hubOuter);
    blue.setColorAt(0.0, QColor(0x5c, 0xa2, 0xff));
    blue.setColorAt(1.0, QColor(0x12, 0x4c, 0xc0));
    p.setBrush(blue);
    p.drawPath(hub);

    // Outlines last so the edges stay crisp at icon sizes.
    p.setBrush(Qt::NoBrush);
    const qreal line = std::max<qreal>(1.0, r * 0.035);
    p.setPen(QPen(rim, line));
    p.drawEllipse(c, r - line / 2, r - line / 2);
    p.setPen(QPen(withAlpha(rim, 170), line * 0.8));
    p.drawEllipse(c, hole + line * 0.4, hole + line * 0.4);

    // Soft gloss over the upper left.
    QRadialGradient gloss(QPointF(c.x() - r * 0.35, c.y() - r * 0.45), r * 0.9);
    gloss.setColorAt(0.0, QColor(255, 255, 255, 90));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawPath(disc);
    p.restore();
}

// ---------------------------------------------------------------- icons

void makeAppIcon(int size, const QString &name)
{
    QImage image = transparentImage(size, size);
    QPainter p(&image);
    smooth(p);
    const qreal r = size / 2.0 - 0.5;
    // A faint shadow keeps the disc readable on light task bars.
    if (size >= 64) {
        QRadialGradient shadow(QPointF(size / 2.0, size / 2.0 + size * 0.03), r);
        shadow.setColorAt(0.85, QColor(0, 0, 0, 70));
        shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(shadow);
        p.drawEllipse(QPointF(size / 2.0, size / 2.0 + size * 0.02), r, r);
    }
    const qreal discR = size >= 64 ? r * 0.94 : r;
    drawDisc(p, QPointF(size / 2.0, size / 2.0), discR, size >= 64, QColor(0x3a, 0x44, 0x52));
    p.end();
    save(image, name, true);
}

// The about window's own icon: an information badge in the program's blue.
void makeAboutIcon()
{
    QImage image = transparentImage(32, 32);
    QPainter p(&image);
    smooth(p);
    const QPointF c(16, 16);
    QLinearGradient body(0, 1, 0, 31);
    body.setColorAt(0.0, QColor(0x6a, 0xb0, 0xff));
    body.setColorAt(1.0, QColor(0x10, 0x46, 0xb4));
    p.setPen(QPen(QColor(0x0c, 0x2c, 0x70), 1.0));
    p.setBrush(body);
    p.drawEllipse(c, 14.5, 14.5);
    QLinearGradient gloss(0, 2, 0, 16);
    gloss.setColorAt(0.0, QColor(255, 255, 255, 150));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawEllipse(QRectF(5, 2.5, 22, 13));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 8.5), 2.4, 2.4);
    p.drawRoundedRect(QRectF(13.75, 12.5, 4.5, 12.5), 1.2, 1.2);
    p.end();
    save(image, QStringLiteral("about_icon.png"), true);
}

// A tiny monitor showing the emblem; it fills its whole box, so no ground colour has to match the
// dialog's.
void makeAboutPicture()
{
    QImage image(40, 34, QImage::Format_RGB32);
    QPainter p(&image);
    smooth(p);
    QLinearGradient bezel(0, 0, 0, 34);
    bezel.setColorAt(0.0, QColor(0x5a, 0x60, 0x6a));
    bezel.setColorAt(1.0, QColor(0x26, 0x2a, 0x30));
    p.fillRect(image.rect(), bezel);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(0x8c, 0x93, 0x9c));
    p.drawLine(0, 0, 39, 0);
    p.drawLine(0, 0, 0, 33);
    p.setPen(QColor(0x14, 0x16, 0x1a));
    p.drawLine(39, 0, 39, 33);
    p.drawLine(0, 33, 39, 33);
    const QRect screen(4, 4, 32, 23);
    QLinearGradient glass(0, screen.top(), 0, screen.bottom());
    glass.setColorAt(0.0, QColor(0x1c, 0x3c, 0x7a));
    glass.setColorAt(1.0, QColor(0x04, 0x0a, 0x1c));
    p.fillRect(screen, glass);
    p.setPen(QColor(0x0c, 0x0e, 0x12));
    p.drawRect(screen.adjusted(-1, -1, 0, 0));
    p.setRenderHint(QPainter::Antialiasing, true);
    drawDisc(p, QPointF(20, 15.5), 9.5, false, QColor(0x22, 0x2a, 0x36));
    // Glass reflection across the upper half.
    QPainterPath shine;
    shine.moveTo(4, 4);
    shine.lineTo(36, 4);
    shine.lineTo(36, 9);
    shine.quadTo(20, 14, 4, 16);
    shine.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 26));
    p.drawPath(shine);
    // Power light.
    p.setBrush(QColor(0x30, 0xe0, 0x40));
    p.drawEllipse(QPointF(34.5, 30.5), 1.2, 1.2);
    p.end();
    save(image, QStringLiteral("about_picture.png"), false);
}

// ---------------------------------------------------------------- ovals

struct OvalColours {
    QColor light, base, dark, edge;
};

void drawOval(QPainter &p, const QRectF &r, const OvalColours &c, qreal edgeWidth)
{
    p.save();
    p.setPen(Qt::NoPen);
    // Contact shadow under the button.
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawEllipse(r.translated(0, 1.0).adjusted(-0.5, 0, 0.5, 0.5));

    QRadialGradient body(QPointF(r.center().x(), r.top() + r.height() * 0.30), r.width() * 0.62);
    body.setColorAt(0.0, c.light);
    body.setColorAt(0.55, c.base);
    body.setColorAt(1.0, c.dark);
    p.setBrush(body);
    p.setPen(QPen(c.edge, edgeWidth));
    const qreal half = edgeWidth / 2;
    p.drawEllipse(r.adjusted(half, half, -half, -half));

    // Gloss: a flattened highlight in the upper half.
    const QRectF g(r.left() + r.width() * 0.18, r.top() + r.height() * 0.08, r.width() * 0.64,
                   r.height() * 0.42);
    QLinearGradient gloss(0, g.top(), 0, g.bottom());
    gloss.setColorAt(0.0, QColor(255, 255, 255, 200));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawEllipse(g);
    p.restore();
}

// The panel's six ovals sit high in their 32 x 32 box so the engraved caption fits below them.
const QRectF kPanelOval(3, 4, 26, 14);

void makeOval(const QString &name, const OvalColours &c, const QRectF &shape, qreal edge)
{
    QImage image = transparentImage(32, 32);
    QPainter p(&image);
    smooth(p);
    drawOval(p, shape, c, edge);
    p.end();
    save(image, name, true);
}

void makeOvals()
{
    makeOval(QStringLiteral("oval_orange.png"),
             {QColor(0xff, 0xd2, 0x8a), QColor(0xf5, 0x8a, 0x14), QColor(0xb8, 0x4a, 0x00),
              QColor(0x7a, 0x32, 0x00)},
             kPanelOval, 1.0);
    makeOval(QStringLiteral("oval_yellow.png"),
             {QColor(0xff, 0xff, 0xe6), QColor(0xff, 0xf2, 0x8c), QColor(0xe0, 0xc4, 0x3c),
              QColor(0x96, 0x80, 0x1e)},
             kPanelOval, 1.0);
    // The exit button is shown squeezed to half its height, so it is drawn tall and with a
    // heavier edge that survives the squeeze.
    const QRectF exitShape(1, 2, 30, 28);
    makeOval(QStringLiteral("exit_normal.png"),
             {QColor(0x9c, 0xc8, 0xff), QColor(0x2a, 0x6c, 0xe0), QColor(0x0c, 0x30, 0x9a),
              QColor(0x08, 0x1e, 0x60)},
             exitShape, 1.6);
    makeOval(QStringLiteral("exit_hover.png"),
             {QColor(0xe4, 0xff, 0xff), QColor(0x5c, 0xe4, 0xff), QColor(0x12, 0x9c, 0xcc),
              QColor(0x0a, 0x5a, 0x7a)},
             exitShape, 1.6);
}

// ---------------------------------------------------------------- transport glyphs

QPainterPath triangle(QPointF a, QPointF b, QPointF c)
{
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

// Mirrors a glyph left to right about the middle of the 32 x 32 box.
QPainterPath mirrored(const QPainterPath &path)
{
    QTransform t;
    t.translate(32, 0);
    t.scale(-1, 1);
    return t.map(path);
}

QPainterPath glyphShape(const QString &which)
{
    QPainterPath path;
    if (which == QLatin1String("play")) {
        path = triangle({11, 8}, {24, 16}, {11, 24});
    } else if (which == QLatin1String("stop")) {
        path.addRect(QRectF(9, 9, 14, 14));
    } else if (which == QLatin1String("pause")) {
        path.addRect(QRectF(9, 8, 5, 16));
        path.addRect(QRectF(18, 8, 5, 16));
    } else if (which == QLatin1String("forward")) {
        path.addPath(triangle({7, 9}, {16, 16}, {7, 23}));
        path.addPath(triangle({16, 9}, {25, 16}, {16, 23}));
    } else if (which == QLatin1String("rewind")) {
        path = mirrored(glyphShape(QStringLiteral("forward")));
    } else if (which == QLatin1String("next")) {
        path.addPath(triangle({7, 9}, {15, 16}, {7, 23}));
        path.addPath(triangle({15, 9}, {23, 16}, {15, 23}));
        path.addRect(QRectF(23, 9, 3, 14));
    } else if (which == QLatin1String("prev")) {
        path = mirrored(glyphShape(QStringLiteral("next")));
    }
    return path.simplified();
}

// Black glyphs look printed into the silver: a light ledge under the lower edge.
// Green glyphs are the lit state: bright fill, a lighter rim and a dark halo that lifts them
// off the silver.
void makeGlyph(const QString &which, bool green)
{
    const QPainterPath shape = glyphShape(which);
    QImage image = transparentImage(32, 32);
    QPainter p(&image);
    smooth(p);
    if (green) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0x00, 0x30, 0x00, 120), 1.6, Qt::SolidLine, Qt::SquareCap,
                      Qt::MiterJoin));
        p.drawPath(shape);
        QLinearGradient fill(0, 8, 0, 24);
        fill.setColorAt(0.0, QColor(0x30, 0xec, 0x30));
        fill.setColorAt(1.0, QColor(0x00, 0xc8, 0x00));
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawPath(shape);
        // The lighter rim: half of a two-pixel stroke, the half inside the shape.
        p.setClipPath(shape);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0xb0, 0xff, 0xb0, 150), 2.0, Qt::SolidLine, Qt::SquareCap,
                      Qt::MiterJoin));
        p.drawPath(shape);
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 150));
        p.drawPath(shape.translated(0, 1));
        QLinearGradient fill(0, 8, 0, 24);
        fill.setColorAt(0.0, QColor(0x2a, 0x2c, 0x30));
        fill.setColorAt(1.0, QColor(0x00, 0x00, 0x00));
        p.setBrush(fill);
        p.drawPath(shape);
    }
    p.end();
    save(image,
         QStringLiteral("glyph_%1_%2.png").arg(which, green ? QStringLiteral("green")
                                                             : QStringLiteral("black")),
         true);
}

void makeGlyphs()
{
    const char *const names[] = {"play", "stop", "pause", "rewind", "forward", "prev", "next"};
    for (const char *name : names) {
        makeGlyph(QString::fromLatin1(name), false);
        makeGlyph(QString::fromLatin1(name), true);
    }
}

// ---------------------------------------------------------------- shared skin pieces

// One-pixel bevel: light on the top and left edges, dark on the bottom and right.
void bevel(QPainter &p, const QRect &r, const QColor &light, const QColor &dark)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(light);
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(dark);
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    p.restore();
}

// Text pressed into a light surface: dark letters with a light ledge below them.
void engrave(QPainter &p, const QPainterPath &text, const QColor &ink, int ledgeAlpha = 170)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, ledgeAlpha));
    p.drawPath(text.translated(0, 1));
    p.setBrush(ink);
    p.drawPath(text);
    p.restore();
}

// Brushed metal: a vertical shade with fine horizontal streaks. The streak value only changes
// now and then along a row, which keeps the file small.
void brushed(QImage &image, const QRect &area, const std::function<QColor(qreal)> &shade,
             std::uint32_t seed, int strength)
{
    Grain grain(seed);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QColor base = shade(static_cast<qreal>(y - area.top()) / std::max(1, area.height() - 1));
        int streak = grain.below(2 * strength + 1) - strength;
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            if (grain.below(9) == 0)
                streak = std::clamp(streak + grain.below(3) - 1, -strength, strength);
            line[x] = qRgb(std::clamp(base.red() + streak, 0, 255),
                           std::clamp(base.green() + streak, 0, 255),
                           std::clamp(base.blue() + streak + 1, 0, 255));
        }
    }
}

// ---------------------------------------------------------------- screen window skin

void makeScreenSkin()
{
    const int w = 765, h = 510;
    const QRect video(4, 24, 757, 481);
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    smooth(p);

    // Grey frame with a gentle top-to-bottom shade.
    QLinearGradient frame(0, 0, 0, h);
    frame.setColorAt(0.0, QColor(0xa4, 0xa9, 0xb0));
    frame.setColorAt(1.0, QColor(0x80, 0x86, 0x8e));
    p.fillRect(image.rect(), frame);

    // The lighter band that carries the name and the exit button.
    QLinearGradient band(0, 0, 0, 24);
    band.setColorAt(0.0, QColor(0xf6, 0xf7, 0xf9));
    band.setColorAt(0.45, QColor(0xe4, 0xe7, 0xeb));
    band.setColorAt(1.0, QColor(0xc6, 0xcb, 0xd2));
    p.fillRect(QRect(1, 1, w - 2, 23), band);

    // Fine grip lines in the empty middle of the band: the window is moved by dragging there.
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < 3; ++i) {
        const int y = 9 + 3 * i;
        p.setPen(QColor(0xa8, 0xae, 0xb6));
        p.drawLine(96, y, 704, y);
        p.setPen(QColor(0xfb, 0xfc, 0xfd));
        p.drawLine(96, y + 1, 704, y + 1);
    }

    // Recess behind the exit button (x 720..751, y 8..23); the button itself is drawn on top.
    const QRect recess(716, 5, 40, 19);
    QLinearGradient well(0, recess.top(), 0, recess.bottom());
    well.setColorAt(0.0, QColor(0xb4, 0xba, 0xc2));
    well.setColorAt(1.0, QColor(0xd2, 0xd6, 0xdc));
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath wellPath;
    wellPath.addRoundedRect(QRectF(recess).adjusted(0.5, 0.5, -0.5, 4), 4, 4);
    p.save();
    p.setClipRect(QRect(0, 0, w, 23));
    p.setPen(QPen(QColor(0x8e, 0x95, 0x9e), 1.0));
    p.setBrush(well);
    p.drawPath(wellPath);
    p.setPen(QPen(QColor(255, 255, 255, 160), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wellPath.translated(0, 1).subtracted(wellPath));
    p.restore();

    // Name at the left of the band, behind a small emblem.
    drawDisc(p, QPointF(14, 12), 7.5, false, QColor(0x4a, 0x52, 0x5e));
    const QFont nameFont = font(13, true, 0.6);
    engrave(p, textPath(QStringLiteral("Quorvel"), nameFont, QPointF(27, 17)),
            QColor(0x3a, 0x42, 0x4e));

    p.setRenderHint(QPainter::Antialiasing, false);
    // Outer raised edge of the whole window.
    bevel(p, image.rect(), QColor(0xff, 0xff, 0xff), QColor(0x3c, 0x40, 0x46));
    bevel(p, image.rect().adjusted(1, 1, -1, -1), QColor(0xd8, 0xdc, 0xe1), QColor(0x6a, 0x70, 0x78));
    // Video area sunk into the frame: dark above and left of it, light below and right.
    bevel(p, video.adjusted(-1, -1, 1, 1), QColor(0x40, 0x44, 0x4a), QColor(0xc8, 0xcc, 0xd2));
    p.fillRect(video, Qt::black);
    p.end();
    save(image, QStringLiteral("scr_skin.png"), false);
}

// ---------------------------------------------------------------- covers

// Emblem on the left, wordmark on the right, a spaced tag line under the wordmark.
void drawLogo(QPainter &p, QPointF centre, qreal scale)
{
    const QFont wordFont = font(58 * scale, true, 1.5 * scale);
    QPainterPath word = textPath(QStringLiteral("Quorvel"), wordFont, QPointF(0, 0));
    const QFont tagFont = font(13 * scale, false, 7.5 * scale);
    QPainterPath tag = textPath(QStringLiteral("DVD PLAYER"), tagFont, QPointF(0, 0));

    const qreal discR = 52 * scale;
    const qreal gap = 26 * scale;
    const QRectF wb = word.boundingRect();
    const qreal totalW = 2 * discR + gap + wb.width();
    const qreal left = centre.x() - totalW / 2;

    drawDisc(p, QPointF(left + discR, centre.y()), discR, true, QColor(0x8a, 0x94, 0xa4));

    // Wordmark: cap height centred on the disc, a little above the middle to leave room for the
    // tag line.
    const qreal textX = left + 2 * discR + gap - wb.left();
    const qreal baseline = centre.y() + 10 * scale;
    word.translate(textX, baseline);
    const QRectF wr = word.boundingRect();
    QLinearGradient metal(0, wr.top(), 0, wr.bottom());
    metal.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
    metal.setColorAt(0.55, QColor(0xd6, 0xdc, 0xe4));
    metal.setColorAt(1.0, QColor(0x9a, 0xa4, 0xb2));
    p.setPen(Qt::NoPen);
    p.setBrush(metal);
    p.drawPath(word);

    // Thin blue rule and the tag line beneath it.
    const qreal ruleY = baseline + 16 * scale;
    QLinearGradient rule(wr.left(), 0, wr.right(), 0);
    rule.setColorAt(0.0, QColor(0x2a, 0x6c, 0xe0, 255));
    rule.setColorAt(1.0, QColor(0x2a, 0x6c, 0xe0, 0));
    p.fillRect(QRectF(wr.left() + 2 * scale, ruleY, wr.width(), 2 * scale), rule);
    tag.translate(wr.left() + 3 * scale - tag.boundingRect().left(), ruleY + 20 * scale);
    p.setBrush(QColor(0x8c, 0xa8, 0xd0));
    p.drawPath(tag);
}

void makeCover(const QString &name, QSize size, QSize visible, qreal scale)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    smooth(p);
    drawLogo(p, QPointF(visible.width() / 2.0, visible.height() / 2.0), scale);
    p.end();
    save(image, name, false);
}

// ---------------------------------------------------------------- panel skin

void makePanelSkin()
{
    const int w = 488, h = 106;
    QImage image(w, h, QImage::Format_RGB32);
    brushed(image, image.rect(),
            [](qreal t) {
                // Silver with a bright sheen a third of the way down.
                const QColor top(0xd6, 0xda, 0xdf), sheen(0xf1, 0xf3, 0xf5), bottom(0xa2, 0xa8, 0xb0);
                return t < 0.32 ? mix(top, sheen, t / 0.32) : mix(sheen, bottom, (t - 0.32) / 0.68);
            },
            0x51f3a9c1u, 3);
    QPainter p(&image);
    smooth(p);

    // Read-out field: grey frame x 7..260, y 20..72 around the black glass.
    const QRect field(7, 20, 254, 53);
    p.setRenderHint(QPainter::Antialiasing, false);
    bevel(p, field.adjusted(-1, -1, 1, 1), QColor(0x7c, 0x82, 0x8a), QColor(0xff, 0xff, 0xff));
    p.fillRect(field, QColor(0x8c, 0x92, 0x9a));
    bevel(p, field, QColor(0xc4, 0xc9, 0xcf), QColor(0x5a, 0x60, 0x68));
    const QRect glass = field.adjusted(3, 3, -3, -3);
    bevel(p, glass.adjusted(-1, -1, 1, 1), QColor(0x4a, 0x50, 0x58), QColor(0xb8, 0xbe, 0xc6));
    p.fillRect(glass, Qt::black);
    // A faint reflection on the glass, kept dark so the green lines stay crisp.
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient reflect(glass.left(), glass.top(), glass.left() + 120, glass.bottom());
    reflect.setColorAt(0.0, QColor(255, 255, 255, 22));
    reflect.setColorAt(1.0, QColor(255, 255, 255, 0));
    QPainterPath reflectPath;
    reflectPath.moveTo(glass.left(), glass.top());
    reflectPath.lineTo(glass.left() + 150, glass.top());
    reflectPath.lineTo(glass.left() + 90, glass.bottom() + 1);
    reflectPath.lineTo(glass.left(), glass.bottom() + 1);
    reflectPath.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(reflect);
    p.drawPath(reflectPath);

    // Captions under the six ovals.
    const QFont captionFont = font(7, true, 0.4);
    const char *const captions[] = {"MENU", "MARK", "ANGLE", "SETUP", "SIZE", "EXIT"};
    for (int i = 0; i < 6; ++i) {
        QPainterPath text = textPath(QString::fromLatin1(captions[i]), captionFont, QPointF(0, 0));
        const QRectF b = text.boundingRect();
        const qreal cx = 8 + 40 * i + 16;
        text.translate(std::round(cx - b.width() / 2 - b.left()), 101);
        engrave(p, text, QColor(0x44, 0x4a, 0x54), 140);
    }

    // Legend over the read-out, clear of its text lines.
    const QFont legendFont = font(8, true, 2.0);
    engrave(p, textPath(QStringLiteral("DVD PLAYER"), legendFont, QPointF(10, 15)),
            QColor(0x4c, 0x53, 0x5e), 150);

    // Blue slanted bar between the read-out and the transport keys.
    QPainterPath bar;
    bar.moveTo(300, 8);
    bar.lineTo(316, 8);
    bar.lineTo(292, 98);
    bar.lineTo(276, 98);
    bar.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawPath(bar.translated(1, 1));
    QLinearGradient barFill(276, 0, 316, 0);
    barFill.setColorAt(0.0, QColor(0x0e, 0x3c, 0xa8));
    barFill.setColorAt(0.45, QColor(0x3c, 0x8c, 0xff));
    barFill.setColorAt(1.0, QColor(0x14, 0x4c, 0xc4));
    p.setBrush(barFill);
    p.setPen(QPen(QColor(0x0a, 0x24, 0x64), 1.0));
    p.drawPath(bar);
    // Gloss running down the bar's lit face.
    p.setPen(QPen(QColor(0xc8, 0xe0, 0xff, 170), 1.0));
    p.drawLine(QPointF(303.5, 10), QPointF(281.5, 96));
    QPainterPath thin;
    thin.moveTo(322, 30);
    thin.lineTo(327, 30);
    thin.lineTo(309, 98);
    thin.lineTo(304, 98);
    thin.closeSubpath();
    p.setBrush(QColor(0x3c, 0x8c, 0xff));
    p.setPen(QPen(QColor(0x0a, 0x24, 0x64, 200), 1.0));
    p.drawPath(thin);

    // Grooves for the two rows of transport keys.
    auto groove = [&p](const QRectF &r) {
        QPainterPath path;
        path.addRoundedRect(r, r.height() / 2, r.height() / 2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 200));
        p.drawPath(path.translated(0, 1));
        QLinearGradient fill(0, r.top(), 0, r.bottom());
        fill.setColorAt(0.0, QColor(0x8e, 0x95, 0x9e));
        fill.setColorAt(0.25, QColor(0xb8, 0xbe, 0xc6));
        fill.setColorAt(1.0, QColor(0xd8, 0xdc, 0xe1));
        p.setBrush(fill);
        p.setPen(QPen(QColor(0x6c, 0x73, 0x7c), 1.0));
        p.drawPath(path);
    };
    auto divider = [&p](qreal x, qreal top, qreal bottom) {
        p.setPen(QPen(QColor(0x8e, 0x95, 0x9e), 1.0));
        p.drawLine(QPointF(x, top), QPointF(x, bottom));
        p.setPen(QPen(QColor(255, 255, 255, 170), 1.0));
        p.drawLine(QPointF(x + 1, top), QPointF(x + 1, bottom));
    };
    groove(QRectF(356.5, 37.5, 127, 21));
    divider(403.5, 41, 55);
    divider(443.5, 41, 55);
    groove(QRectF(340.5, 65.5, 143, 21));
    divider(375.5, 69, 83);
    divider(411.5, 69, 83);
    divider(447.5, 69, 83);

    // Wordmark above the keys.
    const QFont markFont = font(14, true, 0.8);
    QPainterPath mark = textPath(QStringLiteral("Quorvel"), markFont, QPointF(0, 0));
    mark.translate(482 - mark.boundingRect().right(), 25);
    engrave(p, mark, QColor(0x34, 0x3c, 0x48));
    drawDisc(p, QPointF(mark.boundingRect().left() - 10, 20), 6.5, false, QColor(0x4a, 0x52, 0x5e));

    // Outer edge of the panel.
    p.setRenderHint(QPainter::Antialiasing, false);
    bevel(p, image.rect(), QColor(0x70, 0x76, 0x7e), QColor(0x3c, 0x40, 0x46));
    bevel(p, image.rect().adjusted(1, 1, -1, -1), QColor(0xff, 0xff, 0xff), QColor(0x80, 0x86, 0x8e));
    p.end();
    save(image, QStringLiteral("panel_skin.png"), false);
}

// ---------------------------------------------------------------- resource list

void writeResourceList()
{
    QStringList names = g_written;
    names.sort();
    QFile file(g_outDir + QStringLiteral("/resources.qrc"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "make_artwork: cannot write resources.qrc\n");
        g_failed = true;
        return;
    }
    QTextStream out(&file);
    out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const QString &name : names)
        out << "    <file alias=\"" << name << "\">" << name << "</file>\n";
    out << "</qresource>\n</RCC>\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_artwork <output folder>\n");
        return 2;
    }
    g_outDir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(g_outDir)) {
        std::fprintf(stderr, "make_artwork: cannot create %s\n", argv[1]);
        return 1;
    }
    loadFonts();

    makeScreenSkin();
    makeCover(QStringLiteral("cover_normal.png"), QSize(813, 567), QSize(757, 481), 1.0);
    makeCover(QStringLiteral("cover_full.png"), QSize(936, 577), QSize(936, 577), 1.15);
    makeOvals();
    makeAppIcon(32, QStringLiteral("app_icon.png"));
    makeAppIcon(64, QStringLiteral("app_icon_64.png"));
    makeAppIcon(128, QStringLiteral("app_icon_128.png"));
    makePanelSkin();
    makeGlyphs();
    makeAboutPicture();
    makeAboutIcon();
    writeResourceList();
    return g_failed ? 1 : 0;
}
