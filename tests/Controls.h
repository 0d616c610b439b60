#pragma once

#include <QAbstractItemModel>
#include <QObject>
#include <QStringList>
#include <QTableView>
#include <QString>
#include <stdexcept>

// A named control of a window. A missing one throws with the control's name: this Qt's test
// framework does not catch it, so the test program ends there, naming the control.
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
