#pragma once

#include <QString>

#include "DataSource.h"

struct Session;

// The suite's list procedure SP_F8, which pages the item list DG1 and the purchase history DG3:
// the call text with its ten arguments and the two result sets of its answer (the list's
// warehouse and the caption of the stock column, then the page).
class ListProcedure {
public:
    // Key numbers of the calls.
    enum Key {
        Open = 99,
        Position = 13,
        PageUp = 33,
        PageDown = 34,
        End = 35,
        Home = 36,
        UpAtTop = 38,
        DownAtBottom = 40,
        Handover = 80,
    };

    ListProcedure(QString grid, QString place);

    // The flag text of the item list: "True2" with rights 57 and 926, "True" with 57 only,
    // else "False"; of the history grids "True" with right 367 (purchase prices shown).
    static QString listFlag(const Session& session);
    static QString historyFlag(const Session& session);
    // The key number of a paging key (Page Up, Page Down, End, Home, Up at the first row, Down
    // at the last row); 0 for any other key.
    static int keyNumber(int qtKey);
    // Whether the page read with a key number is entered at its last row.
    static bool endsAtLastRow(int keyNumber);

    QString flag;
    QString listWarehouse;    // argument 4, and what the procedure gives back
    QString warehouseFilter;  // argument 5
    int zeroHidden = 0;       // "零不顯示"
    int stoppedShown = 0;     // "停產顯示"
    QString passThrough7;     // argument 7 of the item list
    QString passThrough10;    // argument 10

    // The call text; the option values quoted when quotedOptions (as at opening and for an
    // item handed over by a lookup).
    QString call(int keyNumber, const QString& code, const QString& argument7,
                 bool quotedOptions) const;
    // Calls the procedure into the rows source and takes the list's warehouse and the stock
    // column's caption from the first result set.
    void read(int keyNumber, const QString& code, const QString& argument7, bool quotedOptions);

    DataSource& rows() { return m_rows; }
    const DataSource& rows() const { return m_rows; }
    QString stockCaption() const { return m_caption; }
    int rowCount() const;
    // A column's value in a row of the page; invalid when absent.
    QVariant value(int row, const QString& column) const;

private:
    QString m_grid;
    QString m_place;
    QString m_caption;
    DataSource m_rows;
};
