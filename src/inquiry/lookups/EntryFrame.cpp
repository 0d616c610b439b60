#include "EntryFrame.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "ButtonLook.h"
#include "DbAccess.h"
#include "Dialogs.h"
#include "FieldBox.h"
#include "FrameParts.h"
#include "Recordset.h"
#include "Session.h"
#include "WindowHelpers.h"
#include "WindowRegistry.h"

using FrameParts::isEnter;

// ---- FrameGrid

int FrameGrid::read(const QString& statement, const QString& place) {
    model->setRecordset(nullptr);
    source.commandText = statement;
    RefreshData(source, place);
    showRows(&source.recordset());
    return rowCount();
}

void FrameGrid::showRows(const Recordset* rows) {
    model->setRecordset(rows);
    ApplyGridFormat(view);
}

int FrameGrid::rowCount() const { return model->rowCount(); }

int FrameGrid::current() const {
    return view->currentIndex().isValid() ? view->currentIndex().row() : -1;
}

void FrameGrid::highlight(int row) {
    if (row < 0 || row >= rowCount()) {
        view->clearSelection();
        return;
    }
    view->setCurrentIndex(model->index(row, 0));
    view->selectRow(row);
}

QVariant FrameGrid::value(int row, const QString& column) const {
    const Recordset* rs = model->recordset();
    if (!rs || row < 0 || row >= rs->recordCount()) return {};
    const int index = rs->fieldIndex(column);
    return index < 0 ? QVariant() : rs->current().rows[row].value(index);
}

// ---- ProcedurePaging

void ProcedurePaging::setUp(const InquiryFrame::Context& context, const QString& code,
                            const QString& pattern) {
    m_procedure.flag = ListProcedure::historyFlag(Session::current());
    m_procedure.listWarehouse = context.listWarehouse;
    m_procedure.warehouseFilter = context.warehouseFilter;
    m_procedure.zeroHidden = context.zeroHidden;
    m_procedure.stoppedShown = context.stoppedShown;
    m_procedure.passThrough10 = pattern;
    m_code = code;
}

bool ProcedurePaging::key(FrameGrid& grid, int qtKey, const std::function<QString(int)>& keyOf) {
    const int rows = grid.rowCount();
    const int current = grid.current();
    if ((qtKey == Qt::Key_Up && current > 0) || (qtKey == Qt::Key_Down && current < rows - 1))
        return false;
    const int number = ListProcedure::keyNumber(qtKey);
    if (number == 0) return false;
    QString anchor;
    if (rows > 0 && (number == ListProcedure::PageUp || number == ListProcedure::UpAtTop))
        anchor = keyOf(0);
    if (rows > 0 && (number == ListProcedure::PageDown || number == ListProcedure::DownAtBottom))
        anchor = keyOf(rows - 1);
    grid.showRows(nullptr);
    m_procedure.read(number, m_code, anchor, false);
    grid.showRows(&m_procedure.rows().recordset());
    grid.highlight(ListProcedure::endsAtLastRow(number) ? grid.rowCount() - 1 : 0);
    return true;
}

// ---- EntryFrame

EntryFrame::EntryFrame(QWidget* parent, const QString& caption, const QList<Field>& fields,
                       const QString& buttons)
    : InquiryFrame(parent) {
    SetConnection(m_probe);
    setFrameShape(QFrame::NoFrame);
    m_box = new QFrame(this);
    m_box->setFrameShape(QFrame::Panel);
    m_box->setFrameShadow(QFrame::Raised);
    m_box->setAutoFillBackground(true);
    auto* layout = new QGridLayout(m_box);
    int row = 0;
    if (!caption.isEmpty()) {
        auto* title = new QLabel(caption, m_box);
        layout->addWidget(title, row++, 0, 1, 2);
    }
    for (const Field& f : fields) {
        layout->addWidget(new QLabel(f.caption, m_box), row, 0);
        // Code and prefix fields: no apostrophe, light yellow with the focus.
        auto* edit = new FieldBox(m_box, FieldBox::Keys::NoQuote);
        edit->setObjectName(f.objectName);
        edit->installEventFilter(this);
        layout->addWidget(edit, row++, 1);
        m_fields.append(edit);
    }
    auto* buttonRow = new QHBoxLayout;
    const QString texts[] = {QStringLiteral("確定"), QStringLiteral("Esc 離開")};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QPushButton(texts[i], m_box);
        b->setObjectName(QStringLiteral("%1(%2)").arg(buttons).arg(i));
        b->setAutoDefault(false);
        InstallButtonLook(b);
        b->installEventFilter(this);
        buttonRow->addWidget(b);
        m_buttons.append(b);
    }
    layout->addLayout(buttonRow, row, 0, 1, 2);
    connect(m_buttons[0], &QPushButton::clicked, this, [this] { confirm(); });
    connect(m_buttons[1], &QPushButton::clicked, this, [this] { close(Back::List); });
}

EntryFrame::~EntryFrame() = default;

QString EntryFrame::place() const { return FrameParts::place(); }

FrameGrid* EntryFrame::makeGrid(const QString& name, QList<RecordsetModel::Column> columns) {
    auto grid = std::make_unique<FrameGrid>();
    grid->view = FrameParts::makeGrid(this, name, std::move(columns), this);
    grid->model = static_cast<RecordsetModel*>(grid->view->model());
    grid->view->hide();
    SetConnection(grid->source);
    m_grids.push_back(std::move(grid));
    return m_grids.back().get();
}

bool EntryFrame::start(const Context& context) {
    m_context = context;
    if (!m_list && parentWidget()) {
        m_list = parentWidget()->findChild<QWidget*>(QStringLiteral("DG1"));
        if (m_list) m_list->installEventFilter(this);
    }
    setGeometry(context.listArea);
    for (const auto& g : m_grids) g->view->hide();
    m_box->adjustSize();
    m_box->move(0, 0);
    m_box->show();
    show();
    raise();
    m_fields[0]->setFocus();
    m_fields[0]->selectAll();
    return true;
}

void EntryFrame::showList(FrameGrid* list, QLineEdit* owner) {
    m_listOwner = owner;
    // The frame covers the item list's area, made for a whole page: the list lies over the
    // box while it is open, so that its fifteen rows are all in view.
    list->view->setGeometry(rect());
    list->view->show();
    list->view->raise();
    list->highlight(0);
    list->view->setFocus();
}

void EntryFrame::takeFromList(FrameGrid* list) {
    const QString code =
        list->value(list->current(), list->model->recordset()->fieldName(0)).toString().trimmed();
    QLineEdit* owner = m_listOwner;
    closeList(list);
    if (owner && !code.isEmpty()) owner->setText(code);
}

void EntryFrame::closeList(FrameGrid* list) {
    QLineEdit* owner = m_listOwner ? m_listOwner : m_fields[0];
    owner->setFocus();
    list->view->hide();
    m_listOwner = nullptr;
}

void EntryFrame::showBelow(FrameGrid* grid) {
    grid->view->setGeometry(0, m_box->height(), width(), height() - m_box->height());
    grid->view->show();
    grid->view->raise();
    grid->highlight(0);
}

void EntryFrame::showResult(FrameGrid* grid) {
    grid->view->setGeometry(rect());
    grid->view->show();
    grid->view->raise();
    grid->view->setFocus();
    m_box->hide();
}

bool EntryFrame::found(const QString& statement) {
    m_probe.commandText = statement;
    RefreshData(m_probe, place());
    return m_probe.recordset().recordCount() > 0;
}

void EntryFrame::tell(const QString& text, QWidget* focus) {
    Dialogs::showMessage(text);
    if (focus) focus->setFocus();
}

void EntryFrame::close(Back back) {
    hide();
    emit finished(back);
}

FrameGrid* EntryFrame::gridOf(QObject* watched) const {
    for (const auto& g : m_grids)
        if (g->view == watched) return g.get();
    return nullptr;
}

bool EntryFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list) {
        // Back on the item list: the frame and its grids step aside.
        if (event->type() == QEvent::FocusIn) hide();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return InquiryFrame::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const int k = key->key();
    if (k != Qt::Key_F2 && FrameParts::forwardFunctionKey(key)) return true;
    if (FrameGrid* grid = gridOf(watched)) return gridKey(grid, k);
    const int index = int(m_fields.indexOf(qobject_cast<QLineEdit*>(watched)));
    if (k == Qt::Key_Escape) {
        close(Back::List);
        return true;
    }
    if (index >= 0) {
        if (fieldKey(index, k)) return true;
        if (isEnter(k)) return focusNextChild();
        return k == Qt::Key_F2;
    }
    if (auto* button = qobject_cast<QPushButton*>(watched)) {
        if (isEnter(k)) {
            button->click();
            return true;
        }
        if (k == Qt::Key_Left || k == Qt::Key_Up) return focusNextPrevChild(false);
        if (k == Qt::Key_Right || k == Qt::Key_Down) return focusNextPrevChild(true);
    }
    return InquiryFrame::eventFilter(watched, event);
}
