#include <QLineEdit>
#include <QTableView>

#include "CodeLookups.h"
#include "EntryFrame.h"
#include "InquiryTables.h"
#include "LookupFrames.h"
#include "Values.h"

namespace {
// Mode 23: the items whose external code matches, in DG09 below the box; the item list moves
// to the first of them. Enter in DG09 hands the highlighted item to the list, Esc goes back
// to the list.
class ExternalCodeFrame : public EntryFrame {
public:
    explicit ExternalCodeFrame(QWidget* parent)
        : EntryFrame(parent, {}, {{QStringLiteral("T9"), QStringLiteral("外部碼 :")}},
                     QStringLiteral("B9")) {
        m_codes =
            makeGrid(QStringLiteral("DG09"), InquiryTables::columnsOf(QStringLiteral("DG09")));
    }

protected:
    void confirm() override {
        const QString pattern = LikePrefix(field(0)->text());
        if (m_codes->read(CodeLookups::externalCodes(pattern), place()) == 0) {
            m_codes->view->hide();
            field(0)->setFocus();
            return;
        }
        // The list takes the keyboard when it moves; the frame comes back over it.
        const QString item = m_codes->value(0, QStringLiteral("ICODE")).toString();
        emit positionList(item, true);
        show();
        raise();
        showBelow(m_codes);
        m_codes->view->setFocus();
    }
    bool fieldKey(int, int) override { return false; }
    bool gridKey(FrameGrid* grid, int key) override {
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const QString item = grid->value(grid->current(), QStringLiteral("ICODE")).toString();
            hide();
            if (!item.isEmpty()) emit positionList(item, true);
            emit finished(Back::List);
            return true;
        }
        if (key == Qt::Key_Escape) {
            close(Back::List);
            return true;
        }
        return false;
    }

private:
    FrameGrid* m_codes = nullptr;
};
}  // namespace

InquiryFrame* LookupFrames::externalCode(QWidget* parent) { return new ExternalCodeFrame(parent); }
