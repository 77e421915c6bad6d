// "Zähler verwalten…": the household's meters, added, renamed and removed,
// each with its kind, number, the kind's values and their dated changes.
#pragma once

#include "ui/services.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace voltaris {

class MeterDialog : public QDialog {
    Q_OBJECT
public:
    MeterDialog(const MetersInput &input, QWidget *parent = nullptr);
    // The meters as the user has set them (the fields shown taken in).
    const Meters &answer();
    // OK: every number must be one, then the input's check.
    void accept() override;

private:
    void addMeter();
    void removeMeter();
    void select(int row); // the list's row: 0 the main meter
    void load(); // the fields from the meter selected
    void take(); // the fields into the meter selected
    void showKindFields();
    QString number(long double v) const;
    // The field's number; records why not when it is none.
    long double parse(QLineEdit *edit, const QString &label, bool optional = false);
    QLineEdit *numberEdit(const QString &name);

    MetersInput input_;
    int current_ = -1; // index into input_.meters.further, -1 for the main meter
    bool loading_ = false;
    QStringList problems_; // of the fields shown, found by take()
    QListWidget *list_;
    QPushButton *remove_;
    QLabel *note_;
    QWidget *fields_;
    QFormLayout *form_;
    QLineEdit *name_, *number_;
    QComboBox *kind_;
    QLineEdit *price_; // night register, feed-in rate
    QLineEdit *provider_, *tariff_, *basePrice_, *contractPrice_, *monthly_;
    QDateEdit *start_;
    QLineEdit *purchase_, *peak_, *share_;
    QDateEdit *solarStart_;
    QTableWidget *changes_;
    QPushButton *addChange_, *removeChange_;
};

bool askMeters(QWidget *parent, MetersInput &input);

} // namespace voltaris
