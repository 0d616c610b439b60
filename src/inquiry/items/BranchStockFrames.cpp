#include "BranchStockFrames.h"

#include <QKeyEvent>
#include <QTableView>
#include <QVBoxLayout>

#include "DbAccess.h"
#include "Dialogs.h"
#include "FrameParts.h"
#include "ItemViews.h"
#include "Recordset.h"
#include "Session.h"
#include "WindowHelpers.h"

bool SisterStockView::start(const Context& context) {
    SetConnection(m_source);
    if (Session::current().switches.branchStockQuery)
        showSisterStock(context.item, context.itemName);
    else
        correctCost(context.item);
    return false;
}

// The window's one write: the item's cost Isour becomes its last purchase price.
void SisterStockView::correctCost(const QString& item) {
    m_source.commandText = ItemViews::lastPurchasePrice(item);
    RefreshData(m_source, FrameParts::place());
    if (!HasCurrentRow(m_source.recordset()))
        return Dialogs::showMessage(QString::fromUtf8(ItemViews::NoLastPurchase));
    const QVariant price = m_source.recordset().field(0);
    m_source.commandText = ItemViews::itemRow(item);
    RefreshData(m_source, FrameParts::place());
    Recordset& row = m_source.recordset();
    if (!HasCurrentRow(row)) return Dialogs::showMessage(QString::fromUtf8(ItemViews::NoItem));
    row.setField(QStringLiteral("Isour"), price);
    row.update();
    Dialogs::showMessage(ItemViews::correctedMessage(price));
}

void SisterStockView::showSisterStock(const QString& item, const QString& name) {
    m_source.commandText = ItemViews::sisterStock(item);
    RefreshData(m_source, FrameParts::place());
    Dialogs::showMessage(ItemViews::sisterStockMessage(item, name, m_source.recordset().current()));
}

CentralStockFrame::CentralStockFrame(QWidget* parent) : InquiryFrame(parent) {
    setObjectName(QStringLiteral("FrCentral"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_grid = FrameParts::makeGrid(
        this, QStringLiteral("DGZ"),
        {{QStringLiteral("分店代號"), QStringLiteral("VBRNO"), {}},
         {QStringLiteral("分店名稱"), QStringLiteral("VBNAM"), {}},
         {QStringLiteral("庫存量"), QStringLiteral("VSNUM"), QStringLiteral("#,##0")},
         {QStringLiteral("資料日期"), QStringLiteral("VDATE"), {}}},
        this);
    layout->addWidget(m_grid);
    SetConnection(m_source);
}

CentralStockFrame::~CentralStockFrame() { DeleteChildWidgets(this); }

bool CentralStockFrame::start(const Context& context) {
    const CompanyGroup& group = Session::current().group;
    const QString connection = ItemViews::centralConnection(group);
    if (connection.isEmpty()) {
        Dialogs::showMessage(QString::fromUtf8(ItemViews::NoCentral));
        return false;
    }
    auto* model = static_cast<RecordsetModel*>(m_grid->model());
    model->setRecordset(nullptr);
    m_source.connectionText = connection;
    m_source.commandText = ItemViews::centralStock(group.centralAccount, context.item);
    RefreshData(m_source, FrameParts::place());
    // The source goes back to the session's connection; its rows stay.
    SetConnection(m_source);
    if (m_source.recordset().recordCount() == 0) {
        Dialogs::showMessage(QString::fromUtf8(ItemViews::NoBranchStock));
        return false;
    }
    model->setRecordset(&m_source.recordset());
    ApplyGridFormat(m_grid);
    setGeometry(context.listArea);
    show();
    raise();
    FrameParts::highlight(m_grid, 0);
    m_grid->setFocus();
    return true;
}

bool CentralStockFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return InquiryFrame::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (FrameParts::forwardFunctionKey(key)) return true;
    if (key->key() != Qt::Key_Escape && !FrameParts::isEnter(key->key())) return false;
    hide();
    emit finished(Back::ModeButton);
    return true;
}
