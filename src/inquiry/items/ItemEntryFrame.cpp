#include "ItemEntryFrame.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <optional>

#include "ButtonLook.h"
#include "DbAccess.h"
#include "Dialogs.h"
#include "FieldBox.h"
#include "FrameParts.h"
#include "ItemViews.h"
#include "ListProcedure.h"
#include "Recordset.h"
#include "Session.h"
#include "Values.h"
#include "WindowHelpers.h"

struct ItemEntryFrame::Private {
    FieldBox* code = nullptr;  // T1(0)
    FieldBox* name = nullptr;  // T1(1)
    QPushButton* ok = nullptr;
    QPushButton* exit = nullptr;
    QTableView* list = nullptr;  // DG2
    DataSource query;
    DataSource firstPage;
    ListProcedure pages{QStringLiteral("DG2"), FrameParts::place()};
    int zeroHidden = 0, stoppedShown = 0;  // the list's options Chk1(0) and Chk1(1)

    RecordsetModel* model() const { return static_cast<RecordsetModel*>(list->model()); }
    QString codeAt(int row) const {
        const Recordset* rs = model()->recordset();
        if (!rs || row < 0 || row >= rs->recordCount()) return {};
        return rs->current().rows[row].value(rs->fieldIndex(QStringLiteral("ICODE"))).toString();
    }
    // The first row of a statement's answer, or nothing.
    std::optional<QVariantList> firstRow(const QString& statement) {
        query.commandText = statement;
        RefreshData(query, FrameParts::place());
        const Recordset& rs = query.recordset();
        if (!HasCurrentRow(rs)) return std::nullopt;
        return QVariantList{rs.field(QStringLiteral("ICODE")), rs.field(QStringLiteral("INAME"))};
    }
};

ItemEntryFrame::ItemEntryFrame(QWidget* parent)
    : InquiryFrame(parent), d(std::make_unique<Private>()) {
    setObjectName(QStringLiteral("FrItem"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto* layout = new QGridLayout(this);
    d->code = new FieldBox(this, FieldBox::Keys::NoQuote);
    d->code->setObjectName(QStringLiteral("T1(0)"));
    d->name = new FieldBox(this);
    d->name->setObjectName(QStringLiteral("T1(1)"));
    d->ok = new QPushButton(QStringLiteral("確定"), this);
    d->ok->setObjectName(QStringLiteral("B2(0)"));
    d->exit = new QPushButton(QStringLiteral("Esc 離開"), this);
    d->exit->setObjectName(QStringLiteral("B2(1)"));
    layout->addWidget(new QLabel(QStringLiteral("產品代號:"), this), 0, 0);
    layout->addWidget(d->code, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("產品名稱:"), this), 1, 0);
    layout->addWidget(d->name, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {d->ok, d->exit}) {
        b->setAutoDefault(false);
        InstallButtonLook(b);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons, 2, 0, 1, 2);
    d->list = FrameParts::makeGrid(
        this, QStringLiteral("DG2"),
        {{QStringLiteral("產品代號"), QStringLiteral("ICODE"), {}},
         {QStringLiteral("品名規格"), QStringLiteral("INAME"), {}},
         {QStringLiteral("庫存量"), QStringLiteral("INUMB"), QStringLiteral("#,##0")},
         {QStringLiteral("說明"), QStringLiteral("ICONS"), {}}},
        this);
    d->list->hide();
    layout->setRowStretch(3, 1);
    for (QWidget* w : {static_cast<QWidget*>(d->code), static_cast<QWidget*>(d->name),
                       static_cast<QWidget*>(d->ok), static_cast<QWidget*>(d->exit)})
        w->installEventFilter(this);
    connect(d->ok, &QPushButton::clicked, this, [this] { confirm(); });
    connect(d->exit, &QPushButton::clicked, this, [this] { leave(); });
    SetConnection(d->query);
    SetConnection(d->firstPage);
}

ItemEntryFrame::~ItemEntryFrame() { DeleteChildWidgets(this); }

bool ItemEntryFrame::start(const Context& context) {
    setGeometry(context.listArea);
    d->zeroHidden = context.zeroHidden;
    d->stoppedShown = context.stoppedShown;
    d->code->clear();
    d->name->clear();
    d->list->hide();
    show();
    raise();
    d->code->setFocus();
    return true;
}

// Leaving the code field: the first of the look-ups that finds an item fills both fields.
void ItemEntryFrame::resolve() {
    const QString text = d->code->text().trimmed();
    if (text.isEmpty()) return;
    for (const QString& statement : ItemViews::resolution(text)) {
        if (const auto row = d->firstRow(statement)) {
            d->code->setText(row->value(0).toString());
            d->name->setText(row->value(1).toString());
            return;
        }
    }
}

void ItemEntryFrame::confirm() {
    const QString code = d->code->text().trimmed();
    const QString name = d->name->text().trimmed();
    if (code.isEmpty() && name.isEmpty()) {
        d->code->setFocus();
        return;
    }
    const auto row =
        d->firstRow(code.isEmpty() ? ItemViews::byName(name) : ItemViews::byCode(code));
    if (!row) {
        Dialogs::showMessage(QString::fromUtf8(ItemViews::NoItem));
        d->code->setFocus();
        return;
    }
    hide();
    emit positionList(row->value(0).toString(), false);
    emit finished(Back::List);
}

void ItemEntryFrame::leave() {
    hide();
    emit finished(Back::List);
}

void ItemEntryFrame::openList() {
    d->model()->setRecordset(nullptr);
    d->firstPage.commandText = ItemViews::codeListFirstPage(d->code->text().trimmed());
    RefreshData(d->firstPage, FrameParts::place());
    if (d->firstPage.recordset().recordCount() == 0) {
        Dialogs::showMessage(QString::fromUtf8(ItemViews::NoItem));
        return;
    }
    const Session& s = Session::current();
    d->pages.flag = ListProcedure::historyFlag(s);
    d->pages.listWarehouse = s.defaultStore;
    d->pages.warehouseFilter = s.hasRight(934) ? QString() : s.defaultStore;
    d->pages.zeroHidden = d->zeroHidden;
    d->pages.stoppedShown = d->stoppedShown;
    d->pages.passThrough10 = LikePrefix(d->code->text().trimmed());
    d->model()->setRecordset(&d->firstPage.recordset());
    ApplyGridFormat(d->list);
    // Over the fields, in the whole area of the item list, made for a page of fifteen rows.
    d->list->setGeometry(rect());
    d->list->show();
    d->list->raise();
    FrameParts::highlight(d->list, 0);
    d->list->setFocus();
}

// The keys of the code list: a page through the list procedure, Enter takes the row, Esc
// goes back to the field.
bool ItemEntryFrame::listKey(int key) {
    const int rows = d->model()->rowCount();
    const int current = d->list->currentIndex().row();
    if (FrameParts::isEnter(key) || key == Qt::Key_Escape) {
        if (key != Qt::Key_Escape && current >= 0) {
            const Recordset* rs = d->model()->recordset();
            d->code->setText(d->codeAt(current));
            d->name->setText(rs->current()
                                 .rows[current]
                                 .value(rs->fieldIndex(QStringLiteral("INAME")))
                                 .toString());
        }
        d->code->setFocus();
        d->list->hide();
        return true;
    }
    if ((key == Qt::Key_Up && current > 0) || (key == Qt::Key_Down && current < rows - 1))
        return false;
    const int number = ListProcedure::keyNumber(key);
    if (number == 0) return false;
    QString anchor;
    if (number == ListProcedure::PageUp || number == ListProcedure::UpAtTop) anchor = d->codeAt(0);
    if (number == ListProcedure::PageDown || number == ListProcedure::DownAtBottom)
        anchor = d->codeAt(rows - 1);
    d->model()->setRecordset(nullptr);
    d->pages.read(number, QString(), anchor, false);
    d->model()->setRecordset(&d->pages.rows().recordset());
    FrameParts::highlight(d->list,
                          ListProcedure::endsAtLastRow(number) ? d->pages.rowCount() - 1 : 0);
    return true;
}

bool ItemEntryFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && watched == d->code && isVisible()) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) resolve();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return InquiryFrame::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const int k = key->key();
    if (watched == d->list) {
        if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return FrameParts::forwardFunctionKey(key);
        return listKey(k);
    }
    if (k == Qt::Key_F2 && (watched == d->code || watched == d->name)) {
        openList();
        return true;
    }
    if (FrameParts::forwardFunctionKey(key)) return true;
    if (k == Qt::Key_Escape) {
        // A field goes back to the one before it, the first to the buttons; a button leaves.
        if (watched == d->name)
            d->code->setFocus();
        else if (watched == d->code)
            d->ok->setFocus();
        else
            leave();
        return true;
    }
    if (!FrameParts::isEnter(k)) return false;
    if (watched == d->ok)
        confirm();
    else if (watched == d->exit)
        leave();
    else
        focusNextChild();
    return true;
}
