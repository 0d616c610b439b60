#pragma once

#include <QList>
#include <QString>

#include "RecordsetModel.h"

class QKeyEvent;
class QTableView;
class QWidget;

// What the frames of the inquiry window share with it: the place named in database error
// reports, their grids and the suite's function keys.
namespace FrameParts {
// The window's caption, the place of every read.
QString place();
// A read-only grid of whole rows with the session's amount format; the filter gets its keys.
QTableView* makeGrid(QWidget* parent, const QString& name, QList<RecordsetModel::Column> columns,
                     QObject* keyFilter);
// Highlights a row of a grid (nothing when out of range).
void highlight(QTableView* grid, int row);
// The keys F1 to F12 go to the suite-wide handler; true when the key was one of them.
bool forwardFunctionKey(const QKeyEvent* key);
bool isEnter(int key);
}  // namespace FrameParts
