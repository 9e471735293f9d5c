// Draws the bundle's five pictures as NAME.png (1x) and NAME@2x.png into the folder given, from
// one drawing in points painted at scale 1 and 2. Run once after changing a drawing; the PNG
// files are committed:  cmake --build build --target kelvora_drawpictures &&
//                       build/tools/kelvora_drawpictures Resources

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cstdio>
#include <functional>

namespace
{
using Drawing = std::function<void(QPainter&)>;

bool save(const QString& folder, const QString& name, int points, const Drawing& drawing)
{
    for (int scale : {1, 2}) {
        QImage image(points * scale, points * scale, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        drawing(painter);
        painter.end();
        const QString suffix = scale == 2 ? QStringLiteral("@2x") : QString();
        const QString path = QDir(folder).filePath(name + suffix + QStringLiteral(".png"));
        if (!image.save(path)) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
            return false;
        }
    }
    return true;
}

QPen line(const char* colour)
{
    QPen pen{QColor(colour), 1.0};
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

// The drag handle: a rounded grip with six dots. Pressed, its face darkens and the dots turn
// light and sit one point lower, as if pushed in.
Drawing handle(bool pressed)
{
    return [pressed](QPainter& p) {
        p.setPen(line(pressed ? "#4f4078" : "#a89cc4"));
        p.setBrush(QColor(pressed ? "#a996d6" : "#efe9f8"));
        p.drawRoundedRect(QRectF(1.5, 1.5, 15, 15), 3, 3);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(pressed ? "#fbf9ff" : "#7a6d9a"));
        const int shift = pressed ? 1 : 0;
        for (int top : {4, 8, 12})
            for (int left : {6, 10})
                p.drawRoundedRect(QRectF(left, top + shift, 2, 2), 0.5, 0.5);
    };
}

// Bookmarks: a blue ribbon with a notch at its foot and a light edge on the left.
void bookmarks(QPainter& p)
{
    p.setPen(line("#1f4aa8"));
    p.setBrush(QColor("#3d7be0"));
    p.drawPolygon(QPolygonF({{3.5, 1.5}, {12.5, 1.5}, {12.5, 14.5}, {8, 10.5}, {3.5, 14.5}}));
    p.fillRect(QRectF(5, 3, 1, 7), QColor("#a9c8ff"));
}

// Typers: a keyboard, two rows of dark keys and a space bar on a white body.
void typers(QPainter& p)
{
    const QColor key("#2c3e50");
    p.setPen(line("#2c3e50"));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(0.5, 3.5, 15, 9), 1.5, 1.5);
    for (int left : {2, 5, 8, 11})
        p.fillRect(QRectF(left, 5, left == 11 ? 3 : 2, 1), key);
    for (int left : {2, 6, 9, 12})
        p.fillRect(QRectF(left, 7, left == 2 ? 3 : 2, 1), key);
    p.fillRect(QRectF(4, 9, 8, 2), key);
}

// Memos: a yellow note with a folded corner and three lines of writing.
void memos(QPainter& p)
{
    p.setPen(line("#9a7400"));
    p.setBrush(QColor("#ffd94a"));
    p.drawPolygon(QPolygonF({{2.5, 1.5}, {10.5, 1.5}, {13.5, 4.5}, {13.5, 14.5}, {2.5, 14.5}}));
    p.setBrush(QColor("#f0c020"));
    p.drawPolygon(QPolygonF({{10.5, 1.5}, {10.5, 4.5}, {13.5, 4.5}}));
    const QColor writing("#6b5000");
    p.fillRect(QRectF(5, 7, 6, 1), writing);
    p.fillRect(QRectF(5, 9, 6, 1), writing);
    p.fillRect(QRectF(5, 11, 4, 1), writing);
}
} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s RESOURCES_FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const bool written = save(folder, QStringLiteral("P_Off"), 18, handle(false)) &&
                         save(folder, QStringLiteral("P_On"), 18, handle(true)) &&
                         save(folder, QStringLiteral("W"), 16, bookmarks) &&
                         save(folder, QStringLiteral("T"), 16, typers) &&
                         save(folder, QStringLiteral("M"), 16, memos);
    return written ? 0 : 1;
}
