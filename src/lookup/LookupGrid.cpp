#include "LookupGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

#include "DataSource.h"
#include "Dialogs.h"
#include "WindowHelpers.h"

LookupGrid::LookupGrid(DataSource& source, const Setup& setup, QWidget* parent)
    : QTableView(parent), m_source(source), m_setup(setup),
      m_model(new RecordsetModel({{setup.codeCaption, QString(), {}},
                                  {setup.nameCaption, QString(), {}}},
                                 this)) {
    setObjectName(setup.objectName);
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    // A page always fits: the grid never scrolls, the pager moves through the list.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ApplyGridFormat(this);
    hide();
    setEnabled(false);
}

bool LookupGrid::open(QWidget* owner, std::shared_ptr<const LookupSource> lookup,
                      std::function<QString()> pattern, const QString& notFoundMessage) {
    m_owner = owner;
    // The grid shows the columns that this lookup names its code and name.
    m_model->setRecordset(nullptr);
    m_model->setColumns({{m_setup.codeCaption, lookup->codeColumn(), {}},
                         {m_setup.nameCaption, lookup->nameColumn(), {}}});
    m_pager = std::make_unique<LookupPager>(m_source, std::move(lookup), std::move(pattern),
                                            m_setup.place);
    if (!m_pager->open()) {
        hide();
        setEnabled(false);
        Dialogs::showMessage(notFoundMessage);
        return false;
    }
    showPage();
    placeAt(owner);
    setEnabled(true);
    show();
    raise();
    setFocus();
    return true;
}

int LookupGrid::pageHeight() const {
    const QHeaderView* header = horizontalHeader();
    const int headerHeight = std::max(header->minimumHeight(), header->sizeHint().height());
    return 2 * frameWidth() + headerHeight +
           LookupPager::PageSize * verticalHeader()->defaultSectionSize();
}

void LookupGrid::placeAt(QWidget* owner) {
    QWidget* window = parentWidget();
    resize(width(), pageHeight());
    // The part of the window that can be seen: its own rectangle within those of its parents.
    QRect room = window->rect();
    for (QWidget* p = window->parentWidget(); p && room.isValid(); p = p->parentWidget()) {
        room &= QRect(window->mapFrom(p, QPoint(0, 0)), p->size());
        if (p->isWindow()) break;
    }
    if (!room.isValid() || room.height() < height() || room.width() < width())
        room = window->rect();
    const QPoint field = owner->mapTo(window, QPoint(0, 0));
    int y = field.y() + owner->height();
    if (y + height() > room.bottom() + 1) {
        y = field.y() - height();
        if (y < room.top()) y = room.bottom() + 1 - height();
    }
    const int x = std::min(field.x(), room.right() + 1 - width());
    move(std::max(x, room.left()), std::max(y, room.top()));
}

void LookupGrid::showPage() {
    m_model->setRecordset(&m_source.recordset());
    const QModelIndex cell = m_model->index(m_pager->row(), m_model->columnCount() - 1);
    setCurrentIndex(cell);
    selectRow(m_pager->row());
}

void LookupGrid::take() {
    if (!m_pager || m_pager->rowCount() == 0) return;
    const int row = m_pager->row();
    const QString code = m_pager->code(row);
    const QString name = m_pager->name(row);
    if (m_owner) m_owner->setFocus();
    emit taken(code, name);
}

void LookupGrid::keyPressEvent(QKeyEvent* event) {
    event->accept();
    switch (event->key()) {
        case Qt::Key_Escape:
            emit escaped();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter: take(); return;
        default: break;
    }
    if (m_pager && m_pager->key(event->key())) showPage();
}

void LookupGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex clicked = indexAt(event->position().toPoint());
    if (!clicked.isValid()) return;
    if (m_pager) m_pager->setRow(clicked.row());
    take();
}

void LookupGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    // A row chosen with the mouse is the pager's row too, so the keys go on from there.
    if (m_pager && current.isValid()) m_pager->setRow(current.row());
}

void LookupGrid::setBackground(bool focused) {
    // Light yellow 0xC0FFFF while focused, the highlighted-text colour otherwise.
    QPalette p = palette();
    p.setColor(QPalette::Base, focused ? QColor(0xFF, 0xFF, 0xC0)
                                       : QPalette().color(QPalette::HighlightedText));
    setPalette(p);
}

void LookupGrid::focusInEvent(QFocusEvent* event) {
    setBackground(true);
    if (m_pager) selectRow(m_pager->row());
    QTableView::focusInEvent(event);
}

void LookupGrid::focusOutEvent(QFocusEvent* event) {
    setBackground(false);
    clearSelection();
    QTableView::focusOutEvent(event);
    hide();
    setEnabled(false);
}
