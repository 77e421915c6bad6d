// A robot user: thousands of random but reproducible actions on the real main
// window. VOLTARIS_ROBOT_SEED picks another run (the seed is printed),
// VOLTARIS_ROBOT_ACTIONS its length.
#include "common/dates.h"
#include "common/numtext.h"
#include "fakeservices.h"
#include "formscript.h"
#include "qt/formview.h"
#include "qt/logviews.h"
#include "qt/qtservices.h"
#include "qt/stringgridwidget.h"
#include "testfiles.h"
#include "ui/program.h"

#include <QApplication>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

// What a message box may say; anything else escaped a handler unplanned.
const QRegularExpression Expected(
    QStringLiteral("^('.*' is not a valid (floating point|integer) value\\.|'.*' is not a valid "
                   "date\\.|Das haben Sie schon eingegeben!|Bitte in Cent eingeben! €/100=Cent|"
                   "Floating point division by zero\\.|Invalid floating point operation\\.|"
                   "Floating point overflow\\.|.*Mein_Verbrauch.*|.*\\.csv.*|"
                   "Der Vertrag wurde geändert\\. Änderungen speichern\\?|"
                   "\"Mein_Vertrag\\.dat\" kann diese Zeichen nicht speichern: .*|"
                   "Die Tabelle enthält noch keinen Zählerstand zum Exportieren\\.|"
                   "Für den .* ist schon ein Zählerstand eingetragen.*|"
                   "Es ist noch kein Lesekopf eingerichtet: .*)$"),
    QRegularExpression::DotMatchesEverythingOption);

// Fake boxes, real windows of the log.
struct RobotServices : FakeServices {
    LogViews views;
    QWidget *main = nullptr;
    void showLogView(TForm &owner, LogView view) override
    {
        FakeServices::showLogView(owner, view);
        views.show(static_cast<TForm1 &>(owner), main, view);
    }
};

struct Robot {
    QRandomGenerator rng;
    QTemporaryDir dir;
    RobotServices services;
    TApplication app { services, FormatSettings::german() };
    std::unique_ptr<TProgram> program;
    std::unique_ptr<FormView> view;
    TForm1 *f = nullptr;

    explicit Robot(quint32 seed)
        : rng(seed)
    {
        services.measure = [](const TFont &font, const QString &text) {
            return QtServices().textWidth(font, text);
        };
        services.savePath = dir.filePath("export.csv");
        program = std::make_unique<TProgram>(app, dir.path());
        f = program->Form1.get();
        view = std::make_unique<FormView>(*f);
        services.main = view.get();
        app.handle([&] { f->show(); });
        view->show();
    }

    int below(int n) { return int(rng.bounded(quint32(n))); }
    bool chance(int percent) { return below(100) < percent; }

    QString randomText()
    {
        static const QString pieces[] = { "0", "1", "2", "5", "9", ",", ".", "-", "+", "e", "E",
            " ", "a", "ä", "ß", "€", "(", ")", "\r\n", "\t", QString(QChar(0)), "\u00A0",
            QString::fromUtf8("\xF0\x9F\x94\x8C"), "'", "=", "1234567,89", "999999" };
        QString t;
        const int n = chance(3) ? 20000 + below(80000) : below(12);
        t.reserve(n);
        for (int i = 0; i < n; ++i)
            t += pieces[below(int(std::size(pieces)))];
        return t;
    }

    QWidget *widget(TControl &c) const { return view->widgetFor(c); }
    QLineEdit *lineEditOf(TControl &c) const
    {
        QWidget *w = widget(c);
        if (auto *le = qobject_cast<QLineEdit *>(w))
            return le;
        return w ? w->findChild<QLineEdit *>() : nullptr;
    }

    // One action of a user; returns what it was, for the log of a failure.
    QString act()
    {
        TControl *inputs[] = { &f->Edit1, &f->Edit2, &f->Edit3, &f->Edit4, &f->Edit5, &f->Edit_Name,
            &f->Edit_Tarif, &f->Memo_Stand, &f->Edit_Watt, &f->Edit_Time, &f->cmb_Time };
        TControl *clickables[] = { &f->img_to_on, &f->img_to_off, &f->btn_Save1, &f->btn_Save2,
            &f->btn_Berechnen, &f->btn_Info, &f->SpeedBtn_START, &f->rdb_01, &f->rdb_02, &f->rdb_03,
            &f->rdb_04, &f->Image_Schetchik, &f->Image1, &f->lbl_Logo1 };
        switch (below(9)) {
        case 0:
        case 1:
        case 2: { // typing into an input
            TControl *c = inputs[below(int(std::size(inputs)))];
            QLineEdit *le = lineEditOf(*c);
            if (!le || !le->isVisible() || !le->isEnabled())
                return "type: " + c->name() + " (locked)";
            QTest::mouseClick(le, Qt::LeftButton);
            static const Qt::Key keys[]
                = { Qt::Key_0, Qt::Key_1, Qt::Key_7, Qt::Key_9, Qt::Key_Comma, Qt::Key_Period,
                      Qt::Key_Minus, Qt::Key_A, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left,
                      Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End,
                      Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Shift, Qt::Key_Space };
            const int n = 1 + below(6);
            QString typed;
            for (int i = 0; i < n; ++i) {
                const Qt::Key k = keys[below(int(std::size(keys)))];
                QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : le;
                QTest::keyClick(target, k, chance(10) ? Qt::ShiftModifier : Qt::NoModifier);
                typed += QKeySequence(k).toString() + ' ';
            }
            return "type: " + c->name() + " " + typed;
        }
        case 3: { // a paste, through the context menu's way: no key filter
            TControl *c = inputs[below(int(std::size(inputs)))];
            QLineEdit *le = lineEditOf(*c);
            if (!le || !le->isVisible() || !le->isEnabled() || le->isReadOnly())
                return "paste: " + c->name() + " (locked)";
            QTest::mouseClick(le, Qt::LeftButton);
            if (chance(50))
                le->selectAll();
            const QString text = randomText();
            le->insert(text);
            if (chance(70))
                QTest::keyClick(le, Qt::Key_Shift);
            return QString("paste: %1 (%2 characters)").arg(c->name()).arg(text.size());
        }
        case 4: { // a click on a switch, button or picture
            TControl *c = clickables[below(int(std::size(clickables)))];
            if (c == &f->lbl_Logo1 || c == &f->Image1) {
                c->click();
                return "click: " + c->name();
            }
            QWidget *w = widget(*c);
            if (w && w->isVisible())
                QTest::mouseClick(w, Qt::LeftButton);
            return "click: " + c->name();
        }
        case 5: { // a row of the grid, then a command of its menu
            auto *grid = static_cast<StringGridWidget *>(widget(f->StringGrid1));
            const int rows = grid->gridModel()->rowCount();
            const int row = below(rows);
            grid->scrollTo(grid->gridModel()->index(row, 0));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                grid->visualRect(grid->gridModel()->index(row, 1)).center());
            std::vector<TMenuItem *> items;
            for (TMenuItem *i : f->PopupMenuTable.items())
                if (!i->isSeparator())
                    items.push_back(i);
            app.handle([&] { f->PopupMenuTable.popup(); });
            TMenuItem *item = chance(60) ? &f->Delete1 : items[size_t(below(int(items.size())))];
            item->click();
            return QString("menu: row %1, %2").arg(row + 1).arg(item->text());
        }
        case 6: { // a reading: a date picked in the calendar, then Enter
            const QDate last = lastDate();
            const QDate date = last.isValid() && chance(85)
                ? last.addDays(chance(10) ? -below(30) : 1 + below(chance(5) ? 4000 : 60))
                : QDate(2000 + below(40), 1 + below(12), 1 + below(28));
            f->dtp_Ablese.userPicked(date);
            f->dtp_Ablese.closeUp();
            QLineEdit *le = lineEditOf(f->Memo_Stand);
            QTest::mouseClick(le, Qt::LeftButton);
            le->selectAll();
            const double reading = chance(10) ? below(999999) : lastReading() + below(4000) / 10.0;
            QTest::keyClicks(le, QString::number(reading, 'f', 1).replace('.', ','));
            QTest::keyClick(le, Qt::Key_Return);
            return QString("reading: %1 %2").arg(date.toString("dd.MM.yyyy")).arg(reading);
        }
        case 7: { // the contract's start date
            const QDate d(2010 + below(20), 1 + below(12), 1 + below(28));
            f->dtp_Ab.userPicked(d);
            return "contract start: " + d.toString("dd.MM.yyyy");
        }
        default: { // the window's height
            const int h = 480 + below(400);
            view->resize(view->width() + below(50), h);
            return QString("resize: %1").arg(h);
        }
        }
    }

    QDate lastDate() const
    {
        const TStringGrid &g = f->StringGrid1;
        for (int r = g.rowCount() - 1; r >= 1; --r) {
            QDate d;
            if (tryStrToDate(g.cell(0, r), app.settings(), d))
                return d;
        }
        return QDate();
    }
    double lastReading() const
    {
        long double x = 0;
        const TStringGrid &g = f->StringGrid1;
        tryStrToFloat(g.cell(1, g.rowCount() - 1), QLatin1Char(','), x);
        return double(x);
    }

    // At least one data row; the dates of the non-blank rows increase.
    QString tableFault() const
    {
        const TStringGrid &g = f->StringGrid1;
        if (g.rowCount() < 2)
            return "no data row";
        QDate previous;
        for (int r = 1; r < g.rowCount(); ++r) {
            QString joined;
            for (int c = 0; c < 4; ++c)
                joined += g.cell(c, r);
            if (joined.trimmed().isEmpty())
                continue;
            QDate d;
            if (!tryStrToDate(g.cell(0, r), app.settings(), d))
                return QString("row %1 has no date").arg(r);
            if (previous.isValid() && d <= previous)
                return QString("row %1 is not later than the row above").arg(r);
            previous = d;
        }
        return QString();
    }
};

// Texts the contract file holds unchanged: a name without brackets, line
// breaks, blanks at its ends or characters outside the code page; a number
// of digits and at most one comma.
bool storableName(const QString &s)
{
    static const QRegularExpression bad(QStringLiteral("[()\\r\\n\\x1A]"));
    return s.trimmed() == s && !s.contains(bad)
        && std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x80; });
}
bool storableNumber(const QString &s)
{
    static const QRegularExpression number(QStringLiteral("^[0-9]*,?[0-9]*$"));
    return number.match(s).hasMatch();
}

} // namespace

class TestRobot : public QObject {
    Q_OBJECT
private slots:
    void randomUser()
    {
        // A fixed seed keeps the suite repeatable; others explore.
        const quint32 seed = qEnvironmentVariableIsSet("VOLTARIS_ROBOT_SEED")
            ? quint32(qEnvironmentVariableIntValue("VOLTARIS_ROBOT_SEED"))
            : 20261208u;
        const int actions = qEnvironmentVariableIsSet("VOLTARIS_ROBOT_ACTIONS")
            ? qEnvironmentVariableIntValue("VOLTARIS_ROBOT_ACTIONS")
            : 3000;
        qInfo("robot seed %u, %d actions (replay: VOLTARIS_ROBOT_SEED=%u)", seed, actions, seed);
        Robot r(seed);
        QVERIFY(QTest::qWaitForWindowExposed(r.view.get()));
        QStringList recent;
        for (int i = 0; i < actions; ++i) {
            recent << QString("%1: %2").arg(i).arg(r.act());
            if (recent.size() > 12)
                recent.removeFirst();
            const QString fault = r.tableFault();
            QVERIFY2(fault.isEmpty(), qPrintable(fault + "\nafter\n" + recent.join('\n')));
            for (const ShownBox &b : r.services.boxes)
                QVERIFY2(Expected.match(b.text).hasMatch(),
                    qPrintable("unexpected message: " + b.text.left(300) + "\nafter\n"
                        + recent.join('\n')));
            r.services.boxes.clear();
        }
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!QApplication::activePopupWidget());

        // Both files load back into what the window shows.
        r.f->WriteContract();
        const bool contractSaved = !r.f->btn_Save1.enabled();
        TestApp again;
        TProgram reload(again.app, r.dir.path());
        QCOMPARE(gridRows(reload.Form1->StringGrid1), gridRows(r.f->StringGrid1));
        if (contractSaved) {
            TForm1 &a = *reload.Form1, &b = *r.f;
            QCOMPARE(a.dtp_Ab.date(), b.dtp_Ab.date());
            for (auto [x, y] :
                { std::pair { &a.Edit_Name, &b.Edit_Name }, { &a.Edit_Tarif, &b.Edit_Tarif } })
                if (storableName(y->text()))
                    QCOMPARE(x->text(), y->text());
            for (auto [x, y] : { std::pair { &a.Edit1, &b.Edit1 }, { &a.Edit2, &b.Edit2 },
                     { &a.Edit3, &b.Edit3 }, { &a.Edit4, &b.Edit4 }, { &a.Edit5, &b.Edit5 } })
                if (storableNumber(y->text()))
                    QCOMPARE(x->text(), y->text());
        }
    }
};

QTEST_MAIN(TestRobot)
#include "tst_robot.moc"
