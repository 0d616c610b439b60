#include "AssetReportWindow.h"

#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "AssetListColumns.h"
#include "ButtonLook.h"
#include "CriteriaKeys.h"
#include "CurrentPrinter.h"
#include "DbAccess.h"
#include "Dialogs.h"
#include "FieldBox.h"
#include "LookupGrid.h"
#include "LookupSource.h"
#include "QPrinterDevice.h"
#include "Session.h"
#include "SheetDevice.h"
#include "SqlLiteral.h"
#include "Twips.h"
#include "Values.h"
#include "WindowHelpers.h"
#include "WindowRegistry.h"

namespace {
AssetReportWindow::DeviceFactory& deviceFactory() {
    static AssetReportWindow::DeviceFactory factory;
    return factory;
}
}  // namespace

void AssetReportWindow::setDeviceFactory(DeviceFactory factory) {
    deviceFactory() = std::move(factory);
}

std::unique_ptr<PrintDevice> AssetReportWindow::openDevice(const QString& document) {
    if (deviceFactory()) return deviceFactory()(document);
    const QString printer = CurrentPrinter::name().value_or(QString());
    if (printer == CurrentPrinter::excelPrinterName())
        return std::make_unique<SheetDevice>(document, SheetDevice::Format::Excel);
    if (printer == CurrentPrinter::csvPrinterName())
        return std::make_unique<SheetDevice>(document, SheetDevice::Format::Csv);
    return std::make_unique<QPrinterDevice>(document);
}

QString AssetReportWindow::condition(const QString& codeFrom, const QString& codeTo,
                                     const QString& dateFrom, const QString& dateTo) {
    const QString codes = QStringLiteral("Acode Between ") + SqlLiteral(codeFrom) +
                          QStringLiteral(" And ") + SqlLiteral(codeTo);
    const QString dates = QStringLiteral("Adat1 Between ") + SqlLiteral(dateFrom) +
                          QStringLiteral(" And ") + SqlLiteral(dateTo);
    const bool byCode = !codeFrom.trimmed().isEmpty();
    const bool byDate = !dateFrom.trimmed().isEmpty();
    if (byCode && byDate)
        return QStringLiteral(" Where ") + codes + QStringLiteral(" And ") + dates;
    if (byCode) return QStringLiteral(" Where ") + codes;
    if (byDate) return QStringLiteral(" Where ") + dates;
    return {};
}

QPushButton* AssetReportWindow::makeButton(const QString& caption, const QString& name,
                                           QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    InstallButtonLook(b);
    b->installEventFilter(this);
    return b;
}

AssetReportWindow::AssetReportWindow(const QString& objectName, const QString& caption,
                                     QWidget* parent)
    : QWidget(parent), m_fr1(new QFrame(this)), m_fr2(new QFrame(this)) {
    setObjectName(objectName);
    setWindowTitle(caption);
    m_fr1->setObjectName(QStringLiteral("Fr1"));
    m_fr2->setObjectName(QStringLiteral("Fr2"));
    m_fr1->setFrameShape(QFrame::StyledPanel);
    auto* criteria = new QGridLayout(m_fr1);
    const char* labels[] = {"財產編號", "取得日期", "~", "~"};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(QString::fromUtf8(labels[i]), m_fr1);
        label->setObjectName(QStringLiteral("L(%1)").arg(i));
        criteria->addWidget(label, i % 2, i < 2 ? 0 : 2);
    }
    const QStringList tips = {QStringLiteral("[F2]財產資料清單"),
                              QStringLiteral("[F2]財產資料清單"),
                              QStringLiteral("[F2]本月初 [F3]上月初 [F4]本年初 [F5]去年初"),
                              QStringLiteral("[F2]今天 [F3]上月底 [F4]去年底")};
    for (int i = 0; i < 4; ++i) {
        const bool code = i < 2;
        m_t1[i] = new FieldBox(m_fr1, code ? FieldBox::Keys::NoQuote : FieldBox::Keys::Decimal,
                               code ? 10 : 9);
        m_t1[i]->setObjectName(QStringLiteral("T1(%1)").arg(i));
        m_t1[i]->setStatusTip(tips[i]);
        m_t1[i]->installEventFilter(this);
        criteria->addWidget(m_t1[i], i < 2 ? 0 : 1, i % 2 == 0 ? 1 : 3);
    }
    m_b1[0] = makeButton(QStringLiteral("確定"), QStringLiteral("B1(0)"), m_fr1);
    m_b1[1] = makeButton(QStringLiteral("Esc 取消"), QStringLiteral("B1(1)"), m_fr1);
    criteria->addWidget(m_b1[0], 2, 1);
    criteria->addWidget(m_b1[1], 2, 3);
    criteria->setRowStretch(3, 1);  // the criteria stay at the top left of a large window
    criteria->setColumnStretch(4, 1);
    connect(m_b1[0], &QPushButton::clicked, this, &AssetReportWindow::runQuery);
    connect(m_b1[1], &QPushButton::clicked, this, [this] { CloseChild(this); });

    SetConnection(m_lookupSource);
    m_lookup = new LookupGrid(
        m_lookupSource,
        {QStringLiteral("DGF1"), QStringLiteral("財產編號"), QStringLiteral("財產名稱"), caption},
        this);
    m_lookup->resize(Twips::toPixels(4200), Twips::toPixels(2600));
    connect(m_lookup, &LookupGrid::taken, this, [this](const QString& code, const QString&) {
        if (auto* field = qobject_cast<FieldBox*>(m_lookup->owner())) field->setText(code);
    });
    connect(m_lookup, &LookupGrid::escaped, this, [this] {
        if (m_lookup->owner()) m_lookup->owner()->setFocus();
    });
    m_model = new RecordsetModel(AssetListColumns());
    m_grid = makeGrid(QStringLiteral("DGR2"), m_model, m_fr2);
    FitLargestAmount(m_grid, AssetListAmountColumns());
    m_grid->installEventFilter(this);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                list().recordset().setBookmark(current.isValid() ? current.row() : -1);
                currentRowChanged();
            });
    m_b2[0] = makeButton(QStringLiteral("P 列印"), QStringLiteral("B2(0)"), m_fr2);
    m_b2[1] = makeButton(QStringLiteral("Esc 取消"), QStringLiteral("B2(1)"), m_fr2);
    connect(m_b2[0], &QPushButton::clicked, this, [this] { print(); });
    connect(m_b2[1], &QPushButton::clicked, this, [this] { showCriteria(); });
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_fr1, 0, 0);
    layout->addWidget(m_fr2, 0, 0);
    m_fr2->hide();
    m_fr2->setEnabled(false);
    m_t1[0]->setFocus();
}

QTableView* AssetReportWindow::makeGrid(const QString& name, RecordsetModel* model,
                                        QWidget* parent) {
    auto* grid = new QTableView(parent);
    grid->setObjectName(name);
    model->setParent(grid);
    grid->setModel(model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab and Shift+Tab go from grid to grid and to the buttons, not from cell to cell.
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->hide();
    ApplyGridFormat(grid);
    return grid;
}

bool AssetReportWindow::rowEndKey(QTableView* grid, int key) {
    if (key != Qt::Key_Home && key != Qt::Key_End) return false;
    const int rows = grid->model()->rowCount();
    // Selecting the row makes it the current one, so the grid's row handling follows.
    if (rows > 0) grid->selectRow(key == Qt::Key_Home ? 0 : rows - 1);
    return true;
}

QString AssetReportWindow::rangeText() const {
    return QStringLiteral("財產編號:") + m_t1[0]->text().trimmed() + '~' +
           m_t1[1]->text().trimmed() + QStringLiteral(" 取得日期:") + m_t1[2]->text().trimmed() +
           '~' + m_t1[3]->text().trimmed();
}

bool AssetReportWindow::rangeComplete(int from, int to, const QString& caption) {
    const bool fromEmpty = m_t1[from]->text().trimmed().isEmpty();
    const bool toEmpty = m_t1[to]->text().trimmed().isEmpty();
    if (fromEmpty == toEmpty) return true;
    Dialogs::showMessage(caption + QStringLiteral("範圍不完整!"));
    m_t1[fromEmpty ? from : to]->setFocus();
    return false;
}

bool AssetReportWindow::rangeOrdered(int from, int to, const QString& caption) {
    if (m_t1[from]->text().trimmed().isEmpty()) return true;
    if (!CompStr(m_t1[from]->text(), m_t1[to]->text())) return true;
    if (Dialogs::ask(caption + QStringLiteral("範圍大小相反,是否互換?"), Dialogs::Buttons::YesNo,
                     Dialogs::Answer::Yes) != Dialogs::Answer::Yes) {
        m_b1[0]->setFocus();
        return false;
    }
    SwapTexts(m_t1[from], m_t1[to]);
    return true;
}

void AssetReportWindow::runQuery() {
    const QString codes = QStringLiteral("財產編號"), dates = QStringLiteral("取得日期");
    if (!rangeComplete(0, 1, codes) || !rangeComplete(2, 3, dates)) return;
    if (!rangeOrdered(0, 1, codes) || !rangeOrdered(2, 3, dates)) return;
    query(condition(m_t1[0]->text(), m_t1[1]->text(), m_t1[2]->text(), m_t1[3]->text()));
}

void AssetReportWindow::showCriteria() {
    m_fr1->show();
    m_fr1->setEnabled(true);
    m_fr1->raise();
    m_fr2->hide();
    m_fr2->setEnabled(false);
    m_t1[0]->setFocus();
}

void AssetReportWindow::showResult() {
    m_fr2->show();
    m_fr2->setEnabled(true);
    m_fr2->raise();
    m_b2[0]->setEnabled(Session::current().hasRight(966));
    m_fr1->setEnabled(false);
    m_fr1->hide();
    // The model's reset leaves no current row, so selecting the first one reports it.
    m_model->setRecordset(&list().recordset());
    m_grid->selectRow(0);
    m_grid->setFocus();
}

void AssetReportWindow::leaveDate(FieldBox* box) {
    box->setText(IsRocDate(box->text()) ? DateToRoc(RocToDate(box->text())) : QString());
}

void AssetReportWindow::openLookup(int index) {
    static const auto assets = std::make_shared<ProcedureLookupSource>(
        QStringLiteral("SF_ZQ2K_ASSET_F2"), QStringLiteral("ACODE"), QStringLiteral("ANAME"));
    FieldBox* field = m_t1[index];
    if (!m_lookup->open(
            field, assets, [field] { return LikePrefix(field->text()); },
            QStringLiteral("找不到相關財產資料!"))) {
        field->clear();
        field->setFocus();
    }
}

bool AssetReportWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<FieldBox*>(watched);
    if (box && event->type() == QEvent::FocusOut && (box == m_t1[2] || box == m_t1[3])) {
        QTimer::singleShot(0, this, [this, box] { leaveDate(box); });
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const int k = key->key();
    if (box) {
        if (k == Qt::Key_Return || k == Qt::Key_Enter) return focusNextPrevChild(true);
        if (k == Qt::Key_Escape) return focusNextPrevChild(false);
        if (k == Qt::Key_F2 && (box == m_t1[0] || box == m_t1[1])) {
            openLookup(box == m_t1[0] ? 0 : 1);
            return true;
        }
        if (box == m_t1[2] && FromDateKeys(k, box)) return true;
        if (box == m_t1[3] && ToDateKeys(k, box)) return true;
        return false;
    }
    const bool resultControl = watched == m_grid || watched == m_b2[0] || watched == m_b2[1];
    if (resultControl && k == Qt::Key_P) {
        if (m_b2[0]->isEnabled()) print();
        return true;
    }
    if (watched == m_grid) {
        if (k == Qt::Key_Escape) {
            m_b2[1]->setFocus();
            return true;
        }
        if (k == Qt::Key_Return || k == Qt::Key_Enter) return listEnter();
        return rowEndKey(m_grid, k);
    }
    if (auto* button = qobject_cast<QPushButton*>(watched)) {
        if (k == Qt::Key_Return || k == Qt::Key_Enter) {
            button->click();
            return true;
        }
        if (k == Qt::Key_Escape) {
            (resultControl ? m_b2[1] : m_b1[1])->click();
            return true;
        }
    }
    return false;
}

void AssetReportWindow::keyPressEvent(QKeyEvent* event) {
    WindowRegistry::forwardKey(event->key(), event->modifiers());
}
