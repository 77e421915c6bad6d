#include "fakeservices.h"
#include "modal.h"
#include "qt/datepickerwidget.h"
#include "qt/formview.h"
#include "qt/qtservices.h"
#include "qt/stringgridwidget.h"
#include "ui/program.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

// Measures texts as the window does.
struct QtMeasuringApp : TestApp {
    QtMeasuringApp()
    {
        services.measure
            = [](const TFont &f, const QString &text) { return QtServices().textWidth(f, text); };
    }
};

struct Window {
    QTemporaryDir dir;
    QtMeasuringApp t;
    TProgram p { t.app, dir.path() };
    TForm1 &f = *p.Form1;
    FormView view { f };

    Window()
    {
        t.app.handle([&] { f.show(); });
        view.show();
    }
    QWidget *widget(const TControl &c) const { return view.widgetFor(c); }
    StringGridWidget *grid() const
    {
        return static_cast<StringGridWidget *>(widget(f.StringGrid1));
    }
    // Types a reading into Memo_Stand and presses Enter, as the user does.
    void enter(QDate date, const QString &reading)
    {
        f.dtp_Ablese.setDate(date);
        QWidget *memo = widget(f.Memo_Stand)->findChild<QLineEdit *>();
        QTest::mouseClick(memo, Qt::LeftButton);
        QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(memo, reading);
        QTest::keyClick(memo, Qt::Key_Return);
    }
    QPoint rowCentre(int dataRow) const
    {
        return grid()->visualRect(grid()->gridModel()->index(dataRow, 1)).center();
    }
};

} // namespace

class TestMeterWidgets : public QObject {
    Q_OBJECT
private slots:
    void enterAndRemove()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.view));
        w.enter(QDate(2026, 1, 1), "1000");
        w.enter(QDate(2026, 2, 1), "1155,5");
        QCOMPARE(w.f.StringGrid1.rowCount(), 3);
        QCOMPARE(w.grid()->gridModel()->rowCount(), 2);
        QCOMPARE(w.f.StringGrid1.cell(3, 2), QString("5,02"));
        QVERIFY(w.widget(w.f.lbl_Gut)->isVisible());
        QVERIFY(w.widget(w.f.dtp_Ablese)->hasFocus());
        // "€" stands 3 pixels right of the amount on the screen too.
        QWidget *amount = w.widget(w.f.lbl_Zahlung);
        QCOMPARE(w.widget(w.f.LabelEUR)->x(),
            amount->x() + amount->fontMetrics().horizontalAdvance(w.f.lbl_Zahlung.text()) + 3);

        // Mark row 1 with the left button; the right one on row 2 opens the
        // menu without moving the mark.
        QWidget *viewport = w.grid()->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, w.rowCentre(0));
        QCOMPARE(w.f.StringGrid1.row(), 1);
        QStringList captions;
        ModalAnswer popup("QMenu", [&](QWidget *menu) {
            for (QAction *a : menu->actions())
                captions << a->text();
            QCOMPARE(w.f.StringGrid1.row(), 1);
            // A click closes the menu, then triggers the item.
            QAction *first = menu->actions().constFirst();
            menu->close();
            first->trigger();
        });
        // The press opens the menu where the platform does so; else the
        // context menu event follows the click.
        QTest::mouseClick(viewport, Qt::RightButton, {}, w.rowCentre(1));
        if (captions.isEmpty()) {
            QContextMenuEvent e(
                QContextMenuEvent::Mouse, w.rowCentre(1), viewport->mapToGlobal(w.rowCentre(1)));
            QApplication::sendEvent(viewport, &e);
        }
        VERIFY_ANSWERED(popup);
        QCOMPARE(captions.value(0), QString("Zeile entfernen"));
        QCOMPARE(w.f.StringGrid1.rowCount(), 2);
        QCOMPARE(w.f.StringGrid1.cell(0, 1), QString("01.02.2026"));
        QCOMPARE(w.grid()->gridModel()->rowCount(), 1);
        QCOMPARE(w.grid()->gridModel()->index(0, 2).data().toString(), QString("0"));
    }

    // Many rows reach the view as one change; the last one is in view.
    void bigLog()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.view));
        QSignalSpy inserted(w.grid()->gridModel(), &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(w.grid()->gridModel(), &QAbstractItemModel::dataChanged);
        TStringGrid &g = w.f.StringGrid1;
        g.beginUpdate();
        g.setRowCount(100001);
        for (int r = 1; r < g.rowCount(); ++r)
            g.setCell(0, r, QString::number(r));
        g.setRow(g.rowCount() - 1);
        g.scrollToLast();
        g.endUpdate();
        QCOMPARE(inserted.size(), 1);
        QVERIFY(changed.size() <= 1); // not once per cell
        QCOMPARE(w.grid()->gridModel()->rowCount(), 100000);
        QCOMPARE(w.grid()->verticalScrollBar()->value(), g.topRow() - 1);
        QVERIFY(w.grid()->viewport()->rect().contains(w.rowCentre(99999)));
        // The rows the table counts as visible are the rows the view shows whole.
        QCOMPARE(w.grid()->viewport()->height() / w.grid()->rowHeight(0), g.visibleRowCount());
    }

    // A text wider than its cell, such as a five-digit day count in the
    // narrow "Tage" column, is squeezed into the cell rather than cut at
    // its edges.
    void widerThanItsCell()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.view));
        w.enter(QDate(1998, 6, 1), "100");
        w.enter(QDate(2026, 1, 1), "30000");
        QCOMPARE(w.f.StringGrid1.cell(2, 2), QString("10076"));
        w.f.StringGrid1.userSelected(1); // black on white
        StringGridWidget *grid = w.grid();
        const QRect cell = grid->visualRect(grid->gridModel()->index(1, 2)).adjusted(0, 0, -1, -1);
        const QImage shot = grid->viewport()->grab().toImage();
        const auto inked = [&](int x) {
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                if (qGray(shot.pixel(x, y)) < 128)
                    return true;
            return false;
        };
        QVERIFY(!inked(cell.left()));
        QVERIFY(!inked(cell.right()));
        int columns = 0;
        for (int x = cell.left(); x <= cell.right(); ++x)
            columns += inked(x);
        QVERIFY2(columns > cell.width() * 2 / 3, qPrintable(QString::number(columns)));
    }

    // The date pickers show their date whole with the cursor at its end, and
    // the calendar's columns their day names ("Mo.", not "…").
    void datesShownWhole_data()
    {
        QTest::addColumn<QString>("picker");
        QTest::newRow("contract start") << "dtp_Ab";
        QTest::newRow("reading date") << "dtp_Ablese";
    }
    void datesShownWhole()
    {
        QFETCH(QString, picker);
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.view));
        auto *p = static_cast<DatePickerWidget *>(
            w.widget(picker == "dtp_Ab" ? static_cast<TControl &>(w.f.dtp_Ab) : w.f.dtp_Ablese));
        auto *edit = p->findChild<QLineEdit *>();
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(p, Qt::Key_End);
        QCOMPARE(edit->cursorPosition(), int(edit->text().size()));
        edit->grab(); // the edit scrolls its text when it paints
        QInputMethodQueryEvent caret(Qt::ImCursorRectangle);
        QApplication::sendEvent(edit, &caret);
        const qreal start = caret.value(Qt::ImCursorRectangle).toRectF().center().x()
            - edit->fontMetrics().horizontalAdvance(edit->text());
        QVERIFY2(start >= 0, qPrintable(QString::number(start)));

        QTest::mouseClick(p, Qt::LeftButton, {}, QPoint(p->width() - 5, p->height() / 2));
        QCalendarWidget *calendar = p->calendarWidget();
        QTRY_VERIFY(calendar->isVisible());
        auto *days = calendar->findChild<QTableView *>("qt_calendar_calendarview");
        QAbstractItemModel *m = days->model();
        const int margin
            = days->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, days) + 1;
        for (int c = 0; c < m->columnCount(); ++c) {
            const QModelIndex header = m->index(0, c);
            const QFont font = header.data(Qt::FontRole).value<QFont>().resolve(days->font());
            const int room = days->columnWidth(c) - 1 - 2 * margin; // the grid line, the margins
            const qreal wide = QFontMetricsF(font).horizontalAdvance(header.data().toString());
            QVERIFY2(wide <= room,
                qPrintable(
                    QString("%1: %2 > %3").arg(header.data().toString()).arg(wide).arg(room)));
        }
        QCOMPARE(m->index(0, 0).data().toString(), QString("Mo."));
        calendar->window()->hide();
    }

    // Closing the calendar without a pick is a close-up too.
    void dismissedCalendar()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.view));
        w.enter(QDate(2026, 1, 1), "1000");
        auto *picker = static_cast<DatePickerWidget *>(w.widget(w.f.dtp_Ablese));
        picker->setDate(QDate(2025, 12, 24));
        QCOMPARE(w.f.dtp_Ablese.date(), QDate(2025, 12, 24));
        QWidget *popup = picker->calendarWidget()->window();
        popup->show();
        QVERIFY(QTest::qWaitForWindowExposed(popup));
        popup->hide();
        QTRY_COMPARE(int(w.t.services.boxes.size()), 1);
        QCOMPARE(w.t.services.boxes[0].text, QString("Das haben Sie schon eingegeben!"));
        QCOMPARE(picker->date(), w.t.services.todayDate);
        QCOMPARE(picker->calendarWidget()->locale().language(), QLocale::German);
    }
};

QTEST_MAIN(TestMeterWidgets)
#include "tst_meterwidgets.moc"
