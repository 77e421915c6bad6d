#include "fakeservices.h"
#include "modal.h"
#include "qt/formview.h"
#include "qt/meterdialog.h"
#include "qt/qtservices.h"
#include "testfiles.h"
#include "ui/program.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

// The real dialog of the meters; the rest answers at once.
struct DialogServices : FakeServices {
    bool editMeters(TForm *, MetersInput &input) override { return askMeters(nullptr, input); }
};

struct Window {
    QTemporaryDir dir;
    DialogServices services;
    TApplication app { services, FormatSettings::german() };
    TProgram p { app, dir.path() };
    TForm1 &f = *p.Form1;
    FormView view { f };

    Window()
    {
        services.measure = [](const TFont &font, const QString &text) {
            return QtServices().textWidth(font, text);
        };
        app.handle([&] { f.show(); });
        view.show();
    }
    QLineEdit *memo() const { return view.widgetFor(f.Memo_Stand)->findChild<QLineEdit *>(); }
};

} // namespace

class TestMetersWindow : public QObject {
    Q_OBJECT
private slots:
    // A heat pump's meter added in the dialog, shown with Ctrl+PgDown, and a
    // reading entered on it goes to its own file.
    void addAndEnter()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.view));
        ModalAnswer dialog("MeterDialog", [](QWidget *d) {
            d->findChild<QPushButton *>("AddMeter")->click();
            auto *name = d->findChild<QLineEdit *>("MeterName");
            name->selectAll();
            name->insert("Wärmepumpe"); // typed: keyClicks takes ASCII only
            d->findChild<QComboBox *>("MeterKind")->setCurrentText("Eigener Vertrag");
            auto *price = d->findChild<QLineEdit *>("ContractPrice");
            price->setText("22,5");
            name->setFocus();
        });
        w.f.Zaehler1->click();
        VERIFY_ANSWERED(dialog);
        Meters meters = parseMeters(readAll(w.dir.filePath("Meine_Zaehler.txt"))).value;
        QCOMPARE(meters.further.size(), size_t(1));
        QCOMPARE(meters.further[0].name, QString("Wärmepumpe"));
        QCOMPARE(meters.further[0].kind, MeterKind::OwnContract);
        QCOMPARE(double(meters.further[0].contract.price), 22.5);

        // The group's chooser, named for a screen reader, follows the keys.
        auto *chooser = w.view.findChild<QComboBox *>("cmb_Zaehler");
        QVERIFY(chooser && chooser->isVisible());
        QCOMPARE(chooser->accessibleName(), QString("Angezeigter Zähler"));
        QTest::mouseClick(w.memo(), Qt::LeftButton);
        QTest::keyClick(w.memo(), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(w.f.GroupBox3.text(), QString(" Mein Verbrauch: Wärmepumpe "));
        QCOMPARE(chooser->currentText(), QString("Wärmepumpe"));
        w.f.dtp_Ablese.setDate(QDate(2026, 1, 1));
        QTest::mouseClick(w.memo(), Qt::LeftButton);
        QTest::keyClick(w.memo(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w.memo(), "1234,5");
        QTest::keyClick(w.memo(), Qt::Key_Return);
        QVERIFY(readAll(w.dir.filePath("Mein_Verbrauch_Waermepumpe.txt"))
                    .contains("01.01.2026 |     1234,50"));
        QVERIFY(!QFile::exists(w.dir.filePath("Mein_Verbrauch.txt")));
        // Back on the main meter, its caption is as before.
        QTest::keyClick(w.memo(), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(w.f.GroupBox3.text(), QString(" Mein Verbrauch "));

        // A meter picked with the mouse is shown.
        QTest::mouseClick(chooser, Qt::LeftButton);
        QAbstractItemView *list = chooser->view();
        QTRY_VERIFY(list->isVisible());
        const QRect item = list->visualRect(list->model()->index(1, 0));
        // As a hand moves there first: a release at once where the press
        // opened the list is not taken as a choice.
        QTest::mouseMove(list->viewport(), item.center());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        QTRY_COMPARE(w.f.GroupBox3.text(), QString(" Mein Verbrauch: Wärmepumpe "));
        QCOMPARE(w.f.Memo_Stand.text(), QString("1234,5"));

        // A meter another program adds is listed; the one shown stays chosen.
        meters.further.push_back(meters.further[0]);
        meters.further[1].name = meters.further[1].fileKey = "Wallbox";
        writeFile(w.dir.filePath("Meine_Zaehler.txt"), metersFileBytes(meters));
        w.f.FilesChangedOnDisk();
        QCOMPARE(chooser->count(), 3);
        QCOMPARE(chooser->currentText(), QString("Wärmepumpe"));
    }
};

QTEST_MAIN(TestMetersWindow)
#include "tst_meterswindow.moc"
