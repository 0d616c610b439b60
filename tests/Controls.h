#pragma once

#include <QAbstractItemModel>
#include <QObject>
#include <QStringList>
#include <QTableView>
#include <QString>
#include <stdexcept>

// A named control of a window. A missing one fails the test function that asked for it (the
// test framework reports the exception and goes on with the next function) instead of ending
// the whole test program.
template <class T>
T* control(const QObject* window, const QString& name) {
    if (T* found = window->findChild<T*>(name)) return found;
    throw std::runtime_error("no control named " + name.toStdString());
}

// The texts of a grid's column, row by row.
inline QStringList column(QTableView* grid, int c) {
    QStringList values;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        values << grid->model()->index(r, c).data().toString();
    return values;
}
