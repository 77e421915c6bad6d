// "Tarife vergleichen": offers the user enters from a portal, compared at the
// household's own consumption with the contract, in their first year and
// after it; and the contract's deadlines, with their calendar file.
#pragma once

#include "core/tariffcheck.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace voltaris {

class FormView;
class MeterLog;
class TForm1;

// The contract group's context menu offers the comparison too.
void offerTariffCheckOnContract(FormView &view, TForm1 &form);

class TariffWindow : public QWidget {
    Q_OBJECT
public:
    // The offers and deadlines are saved through the form; the consumption
    // is that of `log`, the main meter's.
    TariffWindow(TForm1 &form, const MeterLog &log, QWidget *parent = nullptr);
    ~TariffWindow() override;

    // The offers' columns; the results follow them.
    enum Column {
        Supplier,
        Tariff,
        BasePrice,
        BasePer,
        Price,
        Bonus,
        InstantBonus,
        Guarantee,
        MinimumTerm,
        Notice,
        Note,
        YearOne,
        YearTwo,
        SavingOne,
        SavingTwo,
        Rank,
        Remark,
        ColumnCount
    };

    const ComparedConsumption &measured() const { return measured_; }
    const Comparison &comparison() const { return comparison_; }
    // The figures again: the log, the contract or a field changed.
    void refresh();
    void addOffer();
    void removeSelectedOffer();
    // Saves the deadlines' calendar file where the user chooses and opens it.
    void saveCalendar();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fillFromFile();
    void offerEdited(int row, int column);
    void deadlinesEdited();
    // The table's offers; false, with the row marked, when one cannot be read.
    bool offersOfTable(std::vector<Offer> &offers, int &badRow) const;
    bool deadlinesOfFields(ContractDeadlines &deadlines) const;
    void save();
    long double consumption() const;

    TForm1 &form_;
    const MeterLog &log_;
    ComparedConsumption measured_;
    Comparison comparison_;
    FileStamp filled_; // the file as the table and fields were filled from it
    bool typed_ = false; // the user typed the consumption
    bool filling_ = false;
    QLineEdit *consumption_;
    QLabel *source_, *own_, *noticeLine_, *hint_;
    QTableWidget *table_;
    QPushButton *remove_;
    QLineEdit *minimumEnd_, *notice_, *guaranteeEnd_, *bonusEnd_;
};

} // namespace voltaris
