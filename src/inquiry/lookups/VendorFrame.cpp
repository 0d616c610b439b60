#include <QLineEdit>
#include <QTableView>

#include "CodeLookups.h"
#include "EntryFrame.h"
#include "InquiryTables.h"
#include "LookupFrames.h"
#include "Session.h"
#include "Values.h"

using namespace CodeLookups;

namespace {
// Mode 3: a vendor's purchase lines (DG6), with the vendor list DG4 and the list of the items
// bought from the vendor DG5. The lists and the history page through the list procedure
// after their first page.
class VendorFrame : public EntryFrame {
public:
    explicit VendorFrame(QWidget* parent)
        : EntryFrame(parent, {},
                     {{QStringLiteral("T2(0)"), QStringLiteral("廠商代號:")},
                      {QStringLiteral("T2(1)"), QStringLiteral("產品代號:")}},
                     QStringLiteral("B3")) {
        m_vendors = makeGrid(QStringLiteral("DG4"), InquiryTables::columnsOf(QStringLiteral("DG4")));
        m_items = makeGrid(QStringLiteral("DG5"), InquiryTables::columnsOf(QStringLiteral("DG5")));
        m_history = makeGrid(QStringLiteral("DG6"), InquiryTables::columnsOf(QStringLiteral("DG6")));
    }

protected:
    QString vendor() const { return field(0)->text().trimmed(); }
    QString itemPattern() const { return LikePrefix(field(1)->text()); }

    void confirm() override {
        if (vendor().isEmpty()) return tell(Messages::EmptyVendor, field(0));
        const bool prices = Session::current().hasRight(367);
        if (m_history->read(vendorHistory(vendor(), itemPattern(), prices), place()) == 0)
            return tell(Messages::NoVendorPurchases, field(0));
        m_historyPaging.setUp(context(), vendor(), itemPattern());
        showResult(m_history);
        m_history->highlight(0);
    }

    bool fieldKey(int index, int key) override {
        if (key == Qt::Key_F2) {
            if (index == 0) {
                const QString pattern = LikePrefix(field(0)->text());
                if (m_vendors->read(vendorList(pattern), place()) == 0) {
                    tell(Messages::UnknownVendor, field(0));
                    return true;
                }
                m_vendorPaging.setUp(context(), {}, pattern);
                showList(m_vendors, field(0));
            } else {
                const QString pattern = itemPattern();
                if (m_items->read(partnerItems(Partner::Vendor, Page::First, vendor(), pattern),
                                  place()) == 0) {
                    tell(Messages::NoVendorItems, field(1));
                    return true;
                }
                m_itemPaging.setUp(context(), vendor(), pattern);
                showList(m_items, field(1));
            }
            return true;
        }
        if (index != 0 || (key != Qt::Key_Return && key != Qt::Key_Enter) || vendor().isEmpty())
            return false;
        if (found(vendorExists(vendor()))) return false;
        tell(Messages::UnknownVendor, field(0));
        return true;
    }

    bool gridKey(FrameGrid* grid, int key) override {
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (grid == m_history) {
            if (enter || key == Qt::Key_Escape) {
                emit finished(Back::ModeButton);
                return true;
            }
            return m_historyPaging.key(*grid, key, [grid](int row) {
                return grid->value(row, QStringLiteral("VINX")).toString();
            });
        }
        if (enter) {
            takeFromList(grid);
            return true;
        }
        if (key == Qt::Key_Escape) {
            closeList(grid);
            return true;
        }
        ProcedurePaging& paging = grid == m_vendors ? m_vendorPaging : m_itemPaging;
        return paging.key(*grid, key, [grid](int row) {
            return grid->value(row, grid->model->recordset()->fieldName(0)).toString();
        });
    }

private:
    FrameGrid* m_vendors = nullptr;
    FrameGrid* m_items = nullptr;
    FrameGrid* m_history = nullptr;
    ProcedurePaging m_vendorPaging{QStringLiteral("DG4"), place()};
    ProcedurePaging m_itemPaging{QStringLiteral("DG5"), place()};
    ProcedurePaging m_historyPaging{QStringLiteral("DG6"), place()};
};
}  // namespace

InquiryFrame* LookupFrames::vendor(QWidget* parent) { return new VendorFrame(parent); }
