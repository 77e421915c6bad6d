#include "qt/widgets.h"

#include <QApplication>
#include <QPainter>
#include <QTest>
#include <thread>

using namespace voltaris;

namespace {

// The share of pixels that are not fully transparent.
double covered(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    qsizetype n = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            n += qAlpha(argb.pixel(x, y)) > 0;
    return double(n) / double(argb.width() * argb.height());
}

} // namespace

class TestPictures : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Drawn by a thread while the window asks for them: the same pictures as
    // drawn alone afterwards.
    void preparedBesideTheWindow()
    {
        QList<QImage> seen;
        std::thread reader(preparePictures);
        for (const char *name : { "meter", "portal", "voltaris", "save" })
            seen << pictureImage(QString::fromLatin1(name), QSize(64, 32));
        reader.join();
        int i = 0;
        for (const char *name : { "meter", "portal", "voltaris", "save" }) {
            const QImage again = pictureImage(QString::fromLatin1(name), QSize(64, 32));
            QCOMPARE(seen.at(i++), again);
            QVERIFY2(covered(again) > 0.2, name);
        }
        QVERIFY(
            pictureImage(QStringLiteral("voltaris"), QSize(128, 128)).size() == QSize(128, 128));
    }

    void images_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("asked");
        QTest::addColumn<bool>("exists");
        QTest::newRow("at its own size") << "meter" << QSize(149, 44) << true;
        QTest::newRow("stretched to the size") << "switch_on" << QSize(52, 44) << true;
        QTest::newRow("no such picture") << "nothing" << QSize(16, 16) << false;
        QTest::newRow("no size") << "meter" << QSize(0, 10) << false;
    }
    void images()
    {
        QFETCH(QString, name);
        QFETCH(QSize, asked);
        QFETCH(bool, exists);
        const QImage image = pictureImage(name, asked);
        QCOMPARE(!image.isNull(), exists);
        if (exists) {
            QCOMPARE(image.size(), asked);
            QVERIFY(covered(image) > 0.5);
        }
    }

    // A picture widget shows the picture drawn for its size, from its top
    // left, and keeps it for the next paint.
    void widget()
    {
        PictureWidget w;
        w.setPicture(QStringLiteral("meter"));
        w.resize(149, 44);
        for (int paint = 0; paint < 2; ++paint) {
            QImage shown(w.size(), QImage::Format_ARGB32_Premultiplied);
            shown.fill(Qt::transparent);
            w.render(&shown, QPoint(), QRegion(), QWidget::RenderFlags());
            QCOMPARE(shown, pictureImage(QStringLiteral("meter"), QSize(149, 44)));
        }
    }

    // An icon keeps its picture's proportions; disabled, it shows the
    // picture's own disabled drawing, else Qt's greyed one.
    void icons_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("asked");
        QTest::addColumn<QSize>("actual");
        QTest::addColumn<bool>("ownDisabled");
        QTest::newRow("wider than asked") << "save" << QSize(30, 26) << QSize(29, 26) << true;
        QTest::newRow("square") << "calc" << QSize(18, 18) << QSize(18, 18) << false;
        QTest::newRow("taller than asked")
            << "switch_off" << QSize(44, 22) << QSize(13, 22) << false;
    }
    void icons()
    {
        QFETCH(QString, name);
        QFETCH(QSize, asked);
        QFETCH(QSize, actual);
        QFETCH(bool, ownDisabled);
        const QIcon icon = pictureIcon(name);
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.actualSize(asked), actual);
        const QImage normal = icon.pixmap(asked, 1.0).toImage();
        const QImage disabled = icon.pixmap(asked, 1.0, QIcon::Disabled).toImage();
        QCOMPARE(normal.size(), actual);
        QCOMPARE(disabled.size(), actual);
        QVERIFY(normal != disabled);
        if (ownDisabled)
            QCOMPARE(disabled.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                pictureImage(name + QStringLiteral("_disabled"), actual));
        // Painted centred in the rectangle given (as Qt rounds: half the
        // rectangle less half the picture).
        QImage canvas(asked + QSize(10, 10), QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        {
            QPainter p(&canvas);
            icon.paint(&p, QRect(QPoint(5, 5), asked));
        }
        const QRect drawn(QPoint(5 + asked.width() / 2 - actual.width() / 2,
                              5 + asked.height() / 2 - actual.height() / 2),
            actual);
        QCOMPARE(canvas.copy(drawn), normal.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        QVERIFY(pictureIcon(QStringLiteral("nothing")).isNull());
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
