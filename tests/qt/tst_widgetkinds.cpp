#include "fakeservices.h"
#include "qt/formview.h"
#include "ui/FlEdit.h"
#include "ui/Spin.h"

#include <QApplication>
#include <QtTest>
#include <memory>

using namespace voltaris;
using namespace voltaris::test;

namespace {

// One control of every kind the view shows, and one it does not.
struct KindsForm : TForm {
    TEdit Edit1 { this, QStringLiteral("Edit1") };
    TSpinFloatEdit Memo_Stand { this, QStringLiteral("Memo_Stand") };
    TMemo Memo1 { this, QStringLiteral("Memo1") };
    TRadioButton RadioButton1 { this, QStringLiteral("RadioButton1") };
    TGroupBox GroupBox1 { this, QStringLiteral("GroupBox1") };
    TPanel Panel1 { this, QStringLiteral("Panel1") };
    TSpeedButton SpeedButton1 { this, QStringLiteral("SpeedButton1") };
    TBitBtn BitBtn1 { this, QStringLiteral("BitBtn1") };
    TComboBox ComboBox1 { this, QStringLiteral("ComboBox1") };
    TLabel Label1 { this, QStringLiteral("Label1") };
    TImage Image1 { this, QStringLiteral("Image1") };
    TShape Shape1 { this, QStringLiteral("Shape1") };
    TDateTimePicker DateTimePicker1 { this, QStringLiteral("DateTimePicker1") };
    TSpinButton SpinButton1 { this, QStringLiteral("SpinButton1") };

    explicit KindsForm(TApplication &app)
        : TForm(app, QStringLiteral("Form1"))
    {
        setClientSize(400, 300);
        for (TControl *c : children())
            c->setBounds(0, 0, 100, 25);
    }
};

enum class Focus { Tab, Never, NoWinControl };

} // namespace

Q_DECLARE_METATYPE(Focus)

class TestWidgetKinds : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        t_ = std::make_unique<TestApp>();
        form_ = std::make_unique<KindsForm>(t_->app);
        view_ = std::make_unique<FormView>(*form_);
    }
    void cleanup()
    {
        view_.reset();
        form_.reset();
        t_.reset();
    }

    // Each kind finds its own widget before that of its base kind, and each
    // widget follows its control; a kind the view does not know has none.
    void widgets_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("qtClass"); // empty: no widget
        QTest::addColumn<Focus>("focus");
        QTest::newRow("edit") << "Edit1"
                              << "QLineEdit" << Focus::Tab;
        QTest::newRow("spin edit, no plain edit") << "Memo_Stand"
                                                  << "voltaris::SpinFloatEditWidget" << Focus::Tab;
        QTest::newRow("memo") << "Memo1"
                              << "QPlainTextEdit" << Focus::Tab;
        QTest::newRow("radio button") << "RadioButton1"
                                      << "QRadioButton" << Focus::Tab;
        QTest::newRow("group box") << "GroupBox1"
                                   << "voltaris::GroupBoxWidget" << Focus::Never;
        QTest::newRow("panel") << "Panel1"
                               << "QFrame" << Focus::Never;
        QTest::newRow("speed button") << "SpeedButton1"
                                      << "QToolButton" << Focus::Never;
        QTest::newRow("bit button") << "BitBtn1"
                                    << "QPushButton" << Focus::Tab;
        QTest::newRow("combo box") << "ComboBox1"
                                   << "QComboBox" << Focus::Tab;
        QTest::newRow("label") << "Label1"
                               << "QLabel" << Focus::NoWinControl;
        QTest::newRow("image") << "Image1"
                               << "voltaris::PictureWidget" << Focus::NoWinControl;
        QTest::newRow("shape") << "Shape1"
                               << "QWidget" << Focus::NoWinControl;
        QTest::newRow("date picker") << "DateTimePicker1"
                                     << "QDateEdit" << Focus::Tab;
        QTest::newRow("spin button alone") << "SpinButton1" << QString() << Focus::Never;
    }
    void widgets()
    {
        QFETCH(QString, control);
        QFETCH(QString, qtClass);
        QFETCH(Focus, focus);
        TControl *c = nullptr;
        for (TControl *child : form_->children())
            if (child->name() == control)
                c = child;
        QVERIFY(c);
        QWidget *w = view_->widgetFor(*c);
        if (qtClass.isEmpty()) {
            QVERIFY(!w);
            return;
        }
        QVERIFY(w);
        QCOMPARE(w->objectName(), control);
        QVERIFY2(w->inherits(qPrintable(qtClass)), w->metaObject()->className());
        QVERIFY(dynamic_cast<BoundWidget *>(w));
        QCOMPARE(view_->controlFor(w), c);

        auto *wc = dynamic_cast<TWinControl *>(c);
        QCOMPARE(!wc, focus == Focus::NoWinControl);
        if (!wc)
            return;
        // A compound widget takes the focus through its proxy.
        QWidget *f = w->focusProxy() ? w->focusProxy() : w;
        const Qt::FocusPolicy before = f->focusPolicy();
        wc->setTabStop(true);
        const Qt::FocusPolicy withTab = f->focusPolicy();
        wc->setTabStop(false);
        const Qt::FocusPolicy withoutTab = f->focusPolicy();
        if (focus == Focus::Tab) {
            QCOMPARE(withTab, Qt::StrongFocus);
            QCOMPARE(withoutTab, Qt::ClickFocus); // a click still focuses it
        } else {
            QCOMPARE(withTab, before);
            QCOMPARE(withoutTab, before);
        }
    }

private:
    std::unique_ptr<TestApp> t_;
    std::unique_ptr<KindsForm> form_;
    std::unique_ptr<FormView> view_;
};

QTEST_MAIN(TestWidgetKinds)
#include "tst_widgetkinds.moc"
