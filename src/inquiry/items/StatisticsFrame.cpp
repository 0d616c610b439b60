#include "StatisticsFrame.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

#include "DbAccess.h"
#include "FrameParts.h"
#include "ItemViews.h"
#include "Recordset.h"
#include "Values.h"

StatisticsFrame::StatisticsFrame(QWidget* parent) : InquiryFrame(parent) {
    setObjectName(QStringLiteral("FrCounts"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto* layout = new QGridLayout(this);
    const QStringList captions = ItemViews::countCaptions();
    // Two columns: the sales and returns on the left, the orders on the right.
    constexpr int Rows = 8;
    for (int i = 0; i < Fields; ++i) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("T5(%1)").arg(i));
        field->setReadOnly(true);
        field->setAlignment(Qt::AlignRight);
        field->installEventFilter(this);
        m_t5[i] = field;
        const int row = i < 7 ? i : i - 7;
        const int column = i < 7 ? 0 : 2;
        layout->addWidget(new QLabel(captions[i], this), row, column);
        layout->addWidget(field, row, column + 1);
    }
    layout->setRowStretch(Rows, 1);
    SetConnection(m_counts);
}

bool StatisticsFrame::start(const Context& context) {
    m_counts.commandText = ItemViews::counts(context.item);
    RefreshData(m_counts, FrameParts::place());
    const Recordset& rs = m_counts.recordset();
    const bool row = HasCurrentRow(rs);
    for (int i = 0; i < Fields; ++i)
        m_t5[i]->setText(FormatWhole(row && i < rs.fieldCount() ? rs.field(i) : QVariant()));
    setGeometry(context.listArea);
    show();
    raise();
    m_t5[0]->setFocus();
    return true;
}

bool StatisticsFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return InquiryFrame::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (FrameParts::forwardFunctionKey(key)) return true;
    const int at = int(std::find(m_t5.begin(), m_t5.end(), watched) - m_t5.begin());
    switch (key->key()) {
        case Qt::Key_Escape:
            hide();
            emit finished(Back::ModeButton);
            return true;
        case Qt::Key_Up:
            m_t5[(at + Fields - 1) % Fields]->setFocus();
            return true;
        case Qt::Key_Down:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            m_t5[(at + 1) % Fields]->setFocus();
            return true;
        default:
            return false;
    }
}
