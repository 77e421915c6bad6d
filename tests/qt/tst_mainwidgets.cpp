#include "fakeservices.h"
#include "formscript.h"
#include "modal.h"
#include "qt/formview.h"
#include "qt/groupboxwidget.h"
#include "qt/qtservices.h"
#include "qt/startup.h"
#include "qt/widgets.h"
#include "ui/mainlayout.h"
#include "ui/program.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

struct Window {
    QTemporaryDir dir;
    TestApp t;
    TProgram p { t.app, dir.path() };
    TForm1 &f = *p.Form1;
    FormView view { f };

    Window()
    {
        t.app.handle([&] { f.show(); });
        view.show();
    }
    QWidget *widget(const TControl &c) const { return view.widgetFor(c); }
    QLineEdit *edit(const TControl &c) const { return qobject_cast<QLineEdit *>(widget(c)); }
};

} // namespace

class TestMainWidgets : public QObject {
    Q_OBJECT
private slots:
    // Every row fits its control: no missing name, other parent or property
    // the control's kind lacks (release builds do not assert it).
    void layoutFits()
    {
        Window w;
        QCOMPARE(layout::apply(w.f, mainLayout()), QStringList());
        // ... and a row that does not fit is told, not dropped.
        const layout::Row misfits[] = { { "lbl_Nowhere", nullptr, { 0, 0, 1, 1 } },
            { "lbl_Name", "GroupBox3", { 8, 35, 47, 19 } },
            { "Panel1", "GroupBox1", { 32, 64, 201, 60 }, { .flags = layout::ReadOnly } } };
        QCOMPARE(layout::apply(w.f, misfits).size(), 3);
    }
    void layout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("bounds");
        // The design table the window is made from: every row's place must
        // come out on the screen as the table gives it.
        for (const layout::Row &row : mainLayout()) {
            const layout::Bounds &b = row.bounds;
            QTest::newRow(row.name) << QString(row.name) << QRect(b.left, b.top, b.width, b.height);
        }
    }
    void layout()
    {
        QFETCH(QString, name);
        QFETCH(QRect, bounds);
        static Window *w = nullptr;
        if (!w)
            w = new Window; // one window for all rows
        TControl *c = findControl(w->f, name);
        QVERIFY(c);
        QWidget *widget = w->widget(*c);
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget(),
            w->widget(*c->parent()) == &w->view ? w->view.findChild<QWidget *>("client")
                                                : w->widget(*c->parent()));
        const QRect g = widget->geometry();
        // Labels may grow to their text away from their aligned edge; the
        // grid line of the design and the window's fonts are the same.
        if (qobject_cast<QLabel *>(widget)) {
            QCOMPARE(g.top(), bounds.top());
            QCOMPARE(g.height(), bounds.height());
            QVERIFY(g.width() >= bounds.width() || name == "lbl_Zahlung" || name == "LabelEUR");
            // ... and keep the edge they are aligned to.
            const TAlignment align = static_cast<TLabel *>(c)->alignment();
            if (align == TAlignment::Left)
                QCOMPARE(g.left(), bounds.left());
            else if (align == TAlignment::Right)
                QCOMPARE(g.right(), bounds.right());
        } else {
            QCOMPARE(g, bounds);
        }
    }

    void windowSize()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.view));
        // 610 pixels of client area inside the 8-pixel border, fixed.
        QCOMPARE(w.view.width(), 626);
        QCOMPARE(w.view.minimumWidth(), 626);
        QCOMPARE(w.view.maximumWidth(), 626);
        QCOMPARE(w.view.height(), 596 + 16);
        // 552 pixels outside, less the design's frame (649 outside for 612).
        QCOMPARE(w.view.minimumHeight(), 552 - (649 - 612));
        w.view.resize(626, 300);
        QTRY_COMPARE(w.view.height(), 515);
        w.view.resize(900, 800);
        QTRY_COMPARE(w.view.height(), 800);
        QCOMPARE(w.view.width(), 626);
        QCOMPARE(w.f.clientHeight(), 800 - 16);
        QVERIFY(w.view.windowFlags() & Qt::WindowMaximizeButtonHint);
        QVERIFY(!(w.view.windowFlags() & Qt::WindowMinimizeButtonHint));
    }

    // Without a window manager a window stays inactive after a message box;
    // a click into an edit must still move the form's focus.
    void clickIntoInactiveWindow()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.view));
        QWidget other;
        other.show();
        QApplication::setActiveWindow(&other);
        QTRY_VERIFY(!w.view.isActiveWindow());
        QTest::mouseClick(w.edit(w.f.Edit3), Qt::LeftButton);
        QCOMPARE(w.f.activeControl(), &w.f.Edit3);
        QTest::keyClicks(w.edit(w.f.Edit3), "5");
        QCOMPARE(w.f.Edit3.text(), QString("845"));
        QCOMPARE(w.f.Edit5.text(), QString("24"));
    }

    // The warning and the notice closed with the title bar's button are
    // hidden, and show again the next time.
    void titleBarClose_data()
    {
        QTest::addColumn<bool>("warning");
        QTest::newRow("warning") << true;
        QTest::newRow("notice") << false;
    }
    void titleBarClose()
    {
        QFETCH(bool, warning);
        Window w;
        TForm &form = warning ? static_cast<TForm &>(*w.p.Form_Achtung) : *w.p.Form2;
        FormView other(form, &w.view);
        const auto open = [&] {
            w.t.app.handle([&] {
                if (warning)
                    w.f.btn_Info.click();
                else
                    w.p.Form2->ShowNotice();
            });
        };
        for (int round = 0; round < 2; ++round) {
            open();
            QTRY_VERIFY(other.isVisible());
            QVERIFY(other.close());
            QVERIFY(!other.isVisible());
            QVERIFY(!form.visible());
        }
        QVERIFY(w.t.services.boxes.empty());
    }

    // The release of the Enter that closed an error box is not Edit5's: its
    // key-up would convert the pasted text again and show the box again.
    void releaseAfterBox()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.view));
        QLineEdit *e5 = w.edit(w.f.Edit5);
        QTest::mouseClick(e5, Qt::LeftButton);
        e5->selectAll();
        e5->insert("x"); // pasted: no key filter
        QTest::keyClick(e5, Qt::Key_Shift);
        QCOMPARE(int(w.t.services.boxes.size()), 1);
        QCOMPARE(w.t.services.boxes[0].text, QString("'x' is not a valid floating point value."));
        QTest::keyRelease(e5, Qt::Key_Return); // its press went to the box
        QCOMPARE(int(w.t.services.boxes.size()), 1);
        // Tab into a field still runs that field's key-up.
        QTest::keyClick(e5, Qt::Key_Backspace);
        QTest::keyClicks(e5, "25");
        QTest::keyPress(w.edit(w.f.Edit5), Qt::Key_Tab);
        QTest::keyRelease(w.view.focusWidget(), Qt::Key_Tab);
        QCOMPARE(int(w.t.services.boxes.size()), 1);
    }

    void germanQtTexts()
    {
        QVERIFY(installGermanQtTexts());
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), QString("&Ja"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString("Abbrechen"));
    }

    // The question on closing with unsaved changes, on the real box: each
    // button its answer; Escape and the title bar cancel, Enter says yes.
    void yesNoCancel_data()
    {
        QTest::addColumn<int>("button"); // 0: a key instead
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("answer");
        QTest::newRow("Ja") << int(QMessageBox::Yes) << 0 << int(MsgAnswer::Yes);
        QTest::newRow("Nein") << int(QMessageBox::No) << 0 << int(MsgAnswer::No);
        QTest::newRow("Abbrechen") << int(QMessageBox::Cancel) << 0 << int(MsgAnswer::Cancel);
        QTest::newRow("Escape") << 0 << int(Qt::Key_Escape) << int(MsgAnswer::Cancel);
        QTest::newRow("Enter") << 0 << int(Qt::Key_Return) << int(MsgAnswer::Yes);
        QTest::newRow("closed") << -1 << 0 << int(MsgAnswer::Cancel);
    }
    void yesNoCancel()
    {
        QFETCH(int, button);
        QFETCH(int, key);
        QFETCH(int, answer);
        QtServices services;
        QString shown;
        ModalAnswer question("QMessageBox", [&](QWidget *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            shown = box->windowTitle() + QLatin1Char('|') + box->text();
            QCOMPARE(box->icon(), QMessageBox::Question);
            if (button > 0)
                box->button(QMessageBox::StandardButton(button))->click();
            else if (button < 0)
                box->close();
            else
                QTest::keyClick(box, Qt::Key(key));
        });
        QCOMPARE(int(services.askYesNoCancel(
                     nullptr, QStringLiteral("Voltaris"), QStringLiteral("Änderungen speichern?"))),
            answer);
        VERIFY_ANSWERED(question);
        QCOMPARE(shown, QStringLiteral("Voltaris|Änderungen speichern?"));
    }

    // A group box's etched frame: a dark line with a light one below and
    // right of it, from the middle of the caption down to the box's edges.
    void groupBoxFrame()
    {
        GroupBoxWidget box;
        box.setTitle(QStringLiteral("Mein Verbrauch"));
        box.resize(200, 80);
        QImage image(box.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        box.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        const QRgb dark = box.palette().color(QPalette::Dark).rgb();
        const QRgb light = box.palette().color(QPalette::Light).rgb();
        const int top = QFontMetrics(box.font()).height() / 2;
        const struct {
            QPoint dark, light;
        } edges[] = {
            { { 180, top }, { 180, top + 1 } }, // top, right of the caption
            { { 100, 78 }, { 100, 79 } }, // bottom
            { { 0, 40 }, { 1, 40 } }, // left
            { { 198, 40 }, { 199, 40 } }, // right
        };
        for (const auto &e : edges) {
            QCOMPARE(image.pixel(e.dark), dark);
            QCOMPARE(image.pixel(e.light), light);
        }
    }

    void accessibleNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("group box") << "GroupBox3"
                                   << "Mein Verbrauch";
        QTest::newRow("edit by its label") << "Edit1"
                                           << "Verbrauch im Jahr";
        QTest::newRow("reading") << "Memo_Stand"
                                 << "Zählerstand";
        QTest::newRow("clickable picture") << "Image1"
                                           << "Stromtarife vergleichen";
        QTest::newRow("button") << "btn_Berechnen"
                                << "Berechnen";
        QTest::newRow("grid") << "StringGrid1"
                              << "Ablesungen";
        QTest::newRow("radio button") << "rdb_01"
                                      << "Verbrauch im Jahr eingeben";
    }
    void accessibleNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, spoken);
        Window w;
        QWidget *widget = w.widget(*findControl(w.f, name));
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(a);
        QCOMPARE(a->text(QAccessible::Name), spoken);
        if (name == "rdb_01") {
            QCOMPARE(a->role(), QAccessible::RadioButton);
            QVERIFY(a->state().checkable && a->state().checked);
        }
        if (name == "Image1") {
            QCOMPARE(a->role(), QAccessible::Button);
            a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QCOMPARE(w.t.services.urls.size(), 1);
        }
    }
};

QTEST_MAIN(TestMainWidgets)
#include "tst_mainwidgets.moc"
