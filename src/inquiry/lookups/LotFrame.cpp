#include <QLineEdit>

#include "CodeLookups.h"
#include "DbAccess.h"
#include "EntryFrame.h"
#include "HistoryGrids.h"
#include "LookupFrames.h"
#include "Recordset.h"
#include "Session.h"

using namespace CodeLookups;

namespace {
// Mode 21: what one purchase lot was, in a message.
class LotFrame : public EntryFrame {
public:
    explicit LotFrame(QWidget* parent)
        : EntryFrame(parent, {}, {{QStringLiteral("T8"), QStringLiteral("輸入批號:")}},
                     QStringLiteral("B8")) {
        SetConnection(m_lot);
    }

protected:
    void confirm() override {
        const QString number = field(0)->text().trimmed();
        if (number.isEmpty()) return tell(Messages::EmptyLot, field(0));
        m_lot.commandText = lot(number);
        RefreshData(m_lot, place());
        const Recordset& rs = m_lot.recordset();
        if (rs.recordCount() == 0) return tell(Messages::UnknownLot, field(0));
        const Session& s = Session::current();
        // Several lines may share the number: the first one the database gives.
        const auto first = [&rs](const QString& column) {
            const int index = rs.fieldIndex(column);
            return index < 0 ? QVariant() : rs.current().rows[0].value(index);
        };
        tell(lotMessage(first, HistoryReader::of(s, s.switches.taxIncludedLotPrices)), field(0));
    }
    bool fieldKey(int, int) override { return false; }
    bool gridKey(FrameGrid*, int) override { return false; }

private:
    DataSource m_lot;
};
}  // namespace

InquiryFrame* LookupFrames::lotNumber(QWidget* parent) { return new LotFrame(parent); }
