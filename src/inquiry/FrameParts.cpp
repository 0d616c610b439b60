#include "FrameParts.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>

#include "WindowHelpers.h"
#include "WindowRegistry.h"

namespace FrameParts {
QString place() { return QStringLiteral("產品歷史資料查詢"); }

QTableView* makeGrid(QWidget* parent, const QString& name, QList<RecordsetModel::Column> columns,
                     QObject* keyFilter) {
    auto* grid = new QTableView(parent);
    grid->setObjectName(name);
    grid->setModel(new RecordsetModel(std::move(columns), grid));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ApplyGridFormat(grid);
    grid->installEventFilter(keyFilter);
    return grid;
}

void highlight(QTableView* grid, int row) {
    if (row < 0 || row >= grid->model()->rowCount()) {
        grid->clearSelection();
        return;
    }
    grid->setCurrentIndex(grid->model()->index(row, 0));
    grid->selectRow(row);
}

bool forwardFunctionKey(const QKeyEvent* key) {
    if (key->key() < Qt::Key_F1 || key->key() > Qt::Key_F12) return false;
    WindowRegistry::forwardKey(key->key(), key->modifiers());
    return true;
}

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }
}  // namespace FrameParts
