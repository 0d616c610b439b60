#include <QLineEdit>
#include <QTableView>

#include "CodeLookups.h"
#include "EntryFrame.h"
#include "HistoryPager.h"
#include "InquiryTables.h"
#include "LookupFrames.h"
#include "Session.h"
#include "Values.h"

using namespace CodeLookups;

namespace {
// Modes 6 and 17: a customer's sales lines (DG10) or repair orders (DG20), paged on their keys
// as the history grids are, with the customer list DG8 and the list of the customer's items
// DG9. Enter on a row hands its item to the item list.
class CustomerFrame : public EntryFrame {
public:
    CustomerFrame(QWidget* parent, bool repairs)
        : EntryFrame(parent, repairs ? QStringLiteral("客戶維修查詢") : QStringLiteral("客戶交易查詢"),
                     {{QStringLiteral("%1(0)").arg(repairs ? "T6" : "T3"),
                       QStringLiteral("客戶代號:")},
                      {QStringLiteral("%1(1)").arg(repairs ? "T6" : "T3"),
                       QStringLiteral("產品代號:")}},
                     repairs ? QStringLiteral("B6") : QStringLiteral("B4")),
          m_repairs(repairs) {
        const QString result = repairs ? QStringLiteral("DG20") : QStringLiteral("DG10");
        m_customers = makeGrid(QStringLiteral("DG8"), InquiryTables::columnsOf(QStringLiteral("DG8")));
        m_items = makeGrid(QStringLiteral("DG9"), InquiryTables::columnsOf(QStringLiteral("DG9")));
        m_history = makeGrid(result, InquiryTables::columnsOf(result));
    }

protected:
    QString customer() const { return field(0)->text().trimmed(); }
    Partner partner() const { return m_repairs ? Partner::Repairs : Partner::Customer; }

    void confirm() override {
        if (customer().isEmpty()) return tell(Messages::EmptyCustomer, field(0));
        const Session& s = Session::current();
        const HistoryStatements statements(
            m_repairs ? HistoryGrid::CustomerRepairs : HistoryGrid::CustomerSales, customer(),
            LikePrefix(field(1)->text()), HistoryReader::of(s, s.switches.taxIncludedLotPrices));
        m_history->showRows(nullptr);
        if (!m_pager.first(statements))
            return tell(m_repairs ? Messages::NoCustomerRepairs : Messages::NoCustomerSales,
                        field(0));
        m_history->showRows(&m_pager.rows().recordset());
        showResult(m_history);
        m_history->highlight(m_pager.row());
    }

    // The list's page for the pattern it was opened with.
    QString listPage(FrameGrid* list, Page page, const QString& anchor) const {
        return list == m_customers
                   ? customerList(page, m_listPattern, anchor)
                   : partnerItems(partner(), page, m_listCustomer, m_listPattern, anchor);
    }

    bool openList(FrameGrid* list, int index, const QString& empty) {
        m_listPattern = LikePrefix(field(index)->text());
        m_listCustomer = customer();
        if (list->read(listPage(list, Page::First, {}), place()) == 0) {
            tell(empty, field(index));
            return true;
        }
        showList(list, field(index));
        return true;
    }

    bool fieldKey(int index, int key) override {
        if (key == Qt::Key_F2) {
            if (index == 0) return openList(m_customers, 0, Messages::UnknownCustomer);
            return openList(m_items, 1,
                            m_repairs ? Messages::NoRepairItems : Messages::NoCustomerItems);
        }
        if (index != 0 || (key != Qt::Key_Return && key != Qt::Key_Enter) || customer().isEmpty())
            return false;
        if (found(customerExists(customer()))) return false;
        tell(Messages::UnknownCustomer, field(0));
        return true;
    }

    bool historyKey(int key) {
        if (key == Qt::Key_Escape) {
            emit finished(Back::ModeButton);
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const QString item =
                m_history->value(m_history->current(), m_repairs ? QStringLiteral("WICOD")
                                                                 : QStringLiteral("HICOD"))
                    .toString();
            if (item.isEmpty()) return true;
            hide();
            emit positionList(item, true);
            emit finished(Back::List);
            return true;
        }
        // The rows are read again only for a page move; the arrows move in the page as they
        // do in any grid (also sideways, to the right-hand columns).
        const int current = m_history->current();
        if (key != Qt::Key_PageUp && key != Qt::Key_PageDown && key != Qt::Key_Home &&
            key != Qt::Key_End)
            return false;
        const int column = std::max(0, m_history->view->currentIndex().column());
        m_history->showRows(nullptr);
        const bool handled = m_pager.key(key, current);
        m_history->showRows(&m_pager.rows().recordset());
        m_history->highlight(handled ? m_pager.row() : current);
        m_history->view->setCurrentIndex(m_history->model->index(m_history->current(), column));
        return handled;
    }

    bool gridKey(FrameGrid* grid, int key) override {
        if (grid == m_history) return historyKey(key);
        switch (key) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                takeFromList(grid);
                return true;
            case Qt::Key_Escape:
                closeList(grid);
                return true;
            case Qt::Key_PageUp:
                if (grid->rowCount() > 0)
                    readList(grid, Page::Up, grid->value(0, codeOf(grid)).toString(), 0);
                return true;
            case Qt::Key_PageDown:
                // A page that is not full is the last one.
                if (grid->rowCount() >= HistoryStatements::PageSize)
                    readList(grid, Page::Down,
                             grid->value(grid->rowCount() - 1, codeOf(grid)).toString(), -1);
                return true;
            case Qt::Key_End:
                readList(grid, Page::End, {}, -1);
                return true;
            case Qt::Key_Home:
                readList(grid, Page::Home, {}, 0);
                return true;
            default:
                return false;
        }
    }

private:
    QString codeOf(FrameGrid* list) const {
        return list == m_customers ? QStringLiteral("CCODE") : QStringLiteral("ICODE");
    }
    void readList(FrameGrid* list, Page page, const QString& anchor, int highlight) {
        list->read(listPage(list, page, anchor), place());
        list->highlight(highlight < 0 ? list->rowCount() - 1 : highlight);
    }

    bool m_repairs;
    FrameGrid* m_customers = nullptr;
    FrameGrid* m_items = nullptr;
    FrameGrid* m_history = nullptr;
    HistoryPager m_pager{place()};
    QString m_listPattern;
    QString m_listCustomer;
};
}  // namespace

InquiryFrame* LookupFrames::customerSales(QWidget* parent) {
    return new CustomerFrame(parent, false);
}
InquiryFrame* LookupFrames::customerRepairs(QWidget* parent) {
    return new CustomerFrame(parent, true);
}
