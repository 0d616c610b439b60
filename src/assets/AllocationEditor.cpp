// The split of an asset's per-period depreciation over departments: the line editor Fr4 with
// the allocation grid, on the work lines of Assetd_Temp.
#include "AssetWindowPrivate.h"
#include "DbAccess.h"
#include "Dialogs.h"
#include "LookupSource.h"
#include "SqlLiteral.h"
#include "Values.h"

namespace {
using Dialogs::Answer;
using Dialogs::Buttons;

QString lineText(const Recordset& rs, const char* column) {
    return HasCurrentRow(rs) ? rs.field(QString::fromLatin1(column)).toString() : QString();
}
}  // namespace

using P = AssetWindow::Private;

void P::refreshLines() {
    run(lines, QStringLiteral("Select *,Isnull((Select Dename From Depart25 Where Departno = "
                              "Adeno),'') As Adena From Assetd_Temp Where Lcode = ") +
                   workKey());
    dgf1Model->setRecordset(&lines.recordset());
}

void P::moveToLine(int seq) {
    Recordset& rs = lines.recordset();
    if (rs.recordCount() == 0) return;
    rs.moveFirst();
    rs.find(QStringLiteral("Aseq = %1").arg(seq));
    if (HasCurrentRow(rs)) dgf1->selectRow(rs.bookmark());
}

void P::openAllocation() {
    if (failsChecks()) return;
    allocMode = AllocationList;
    bindLines(&lines.recordset(), true);
    for (QPushButton* b : b4a) b->setEnabled(true);
    showAllocationLine();
    fr4->show();
    fr4->setEnabled(true);
    fr4->raise();
    lockAssetFields();
    for (QPushButton* b : b1b) b->setEnabled(false);
    fr3->setEnabled(false);
    fr3->hide();
    b2->setEnabled(false);
    b4a[0]->setFocus();
}

void P::showAllocationLine() {
    if (allocMode != AllocationList) return;
    if (HasCurrentRow(lines.recordset())) {
        loadAllocationFields();
        dgf1->setEnabled(true);
    } else {
        dgf1->setEnabled(false);
        b4a[1]->setEnabled(false);
        b4a[2]->setEnabled(false);
    }
}

void P::loadAllocationFields() {
    const Recordset& rs = lines.recordset();
    t4[0]->setText(lineText(rs, "adeno"));
    t4[1]->setText(lineText(rs, "adena"));
    t4[2]->setText(FormatAmount(lineText(rs, "aperc")));
    t4[3]->setText(FormatAmount(lineText(rs, "atota")));
    t4[4]->setText(lineText(rs, "aback"));
}

void P::storeAllocationFields(int seq) {
    Recordset& rs = lines.recordset();
    rs.setField(QStringLiteral("lcode"), Session::current().workstationCode);
    rs.setField(QStringLiteral("acode"), t2[0]->text());
    rs.setField(QStringLiteral("aseq"), seq);
    rs.setField(QStringLiteral("adeno"), t4[0]->text());
    rs.setField(QStringLiteral("aperc"), ToNumber(t4[2]->text()));
    rs.setField(QStringLiteral("atota"), ToNumber(t4[3]->text()));
    rs.setField(QStringLiteral("aback"), t4[4]->text());
}

void P::clearAllocationFields() {
    for (FieldBox* b : t4) b->clear();
}

void P::enableAllocationFields() {
    for (int i : {0, 2, 4}) t4[i]->setOpen(true);
}

void P::lockAllocationFields() {
    for (FieldBox* b : t4) b->setOpen(false);
}

// Line editing begins: the line commands replace the list commands.
static void beginLineEdit(P& p) {
    for (QPushButton* b : p.b4b) b->setEnabled(true);
    for (QPushButton* b : p.b4a) b->setEnabled(false);
    p.dgf1->setEnabled(false);
    p.t4[0]->setFocus();
}

void P::addLine() {
    allocMode = AddingLine;
    clearAllocationFields();
    enableAllocationFields();
    if (HasCurrentRow(lines.recordset()))
        currentSeq = lines.recordset().field(QStringLiteral("aseq")).toInt();
    t4[2]->setText(FormatAmount(0));
    t4[3]->setText(FormatAmount(0));
    beginLineEdit(*this);
}

void P::editLine() {
    allocMode = EditingLine;
    enableAllocationFields();
    currentSeq = lines.recordset().field(QStringLiteral("aseq")).toInt();
    beginLineEdit(*this);
}

void P::deleteLine() {
    Recordset& rs = lines.recordset();
    if (!HasCurrentRow(rs)) return;
    const QString seq = rs.field(QStringLiteral("aseq")).toString();
    if (Dialogs::ask(QStringLiteral("確定要刪除項次[ ") + seq + QStringLiteral(" ]的部門攤提記錄?"),
                     Buttons::OkCancel, Answer::Ok) != Answer::Ok) {
        b4a[2]->setFocus();
        return;
    }
    currentSeq = seq.toInt();
    rs.deleteCurrent();
    refreshLines();
    run(query, QStringLiteral("SELECT ISNULL((SELECT TOP 1 ASEQ FROM ASSETD_TEMP WHERE LCODE = ") +
                   workKey() + QStringLiteral(" AND ASEQ > ") + QString::number(currentSeq) +
                   QStringLiteral("),ISNULL((SELECT TOP 1 ASEQ FROM ASSETD_TEMP WHERE LCODE = ") +
                   workKey() + QStringLiteral(" AND ASEQ < ") + QString::number(currentSeq) +
                   QStringLiteral(" ORDER BY ASEQ DESC),0))"));
    currentSeq = HasCurrentRow(query.recordset()) ? query.recordset().field(0).toInt() : 0;
    moveToLine(currentSeq);
    for (QPushButton* b : b4a) b->setEnabled(true);
    showAllocationLine();
}

void P::allocationDone() {
    if (lines.recordset().recordCount() > 0) {
        run(query, QStringLiteral("SELECT SUM(APERC),SUM(ATOTA) FROM ASSETD_TEMP WHERE LCODE = ") +
                       workKey());
        const Recordset& sum = query.recordset();
        if (!HasCurrentRow(sum) || sum.field(0).toDouble() != 100) {
            Dialogs::showMessage(
                QStringLiteral("您所設定的部門攤提比例合計不等於100,請檢查設定值是否都正確"));
            return;
        }
    }
    allocMode = AllocationClosed;
    fr3->show();
    fr3->setEnabled(true);
    for (QPushButton* b : b1b) b->setEnabled(true);
    b1b[0]->setFocus();
    fr4->setEnabled(false);
    fr4->hide();
    dgf1->setEnabled(false);
}

void P::lineOk() {
    const QString department = t4[0]->text();
    if (department.trimmed().isEmpty()) {
        Dialogs::showMessage(QStringLiteral("請輸入部門代號!"));
        t4[0]->setFocus();
        return;
    }
    if (ToNumber(t4[2]->text()) == 0) {
        Dialogs::showMessage(QStringLiteral("請輸入攤提比例!"));
        t4[2]->setFocus();
        return;
    }
    QString count = QStringLiteral("Select Count(*) From Assetd_Temp Where Lcode = ") + workKey() +
                    QStringLiteral(" And Adeno = ") + SqlLiteral(department);
    if (allocMode == EditingLine)
        count += QStringLiteral(" And Aseq != ") + QString::number(currentSeq);
    run(query, count);
    if (HasCurrentRow(query.recordset()) && query.recordset().field(0).toInt() >= 1) {
        Dialogs::showMessage(QStringLiteral("部門代號[ ") + department +
                             QStringLiteral(" ]的攤提比例已設定過,不能重覆設定"));
        return;
    }
    if (allocMode == EditingLine) {
        storeAllocationFields(currentSeq);
        lines.recordset().update();
        endLineEdit();
        return;
    }
    run(query,
        QStringLiteral("Select Isnull(Max(aseq),0) From Assetd_Temp Where Lcode = ") + workKey());
    currentSeq = (HasCurrentRow(query.recordset()) ? query.recordset().field(0).toInt() : 0) + 1;
    lines.recordset().addNew();
    storeAllocationFields(currentSeq);
    lines.recordset().update();
    refreshLines();
    moveToLine(currentSeq);
    // The next line is added at once: the grid stays disabled until the adding ends.
    allocMode = AddingLine;
    clearAllocationFields();
    enableAllocationFields();
    t4[2]->setText(FormatAmount(0));
    t4[3]->setText(FormatAmount(0));
    t4[0]->setFocus();
}

void P::endLineEdit() {
    const int mode = allocMode;
    for (QPushButton* b : b4a) b->setEnabled(true);
    dgf1->setEnabled(true);
    (mode == AddingLine ? b4a[0] : b4a[1])->setFocus();
    allocMode = AllocationList;
    for (QPushButton* b : b4b) b->setEnabled(false);
    lockAllocationFields();
    refreshLines();
    moveToLine(currentSeq);
    showAllocationLine();
}

void P::leaveDepartment() {
    const QString code = t4[0]->text().trimmed();
    if (code.isEmpty() || dgf2->isVisible()) return;
    run(query, QStringLiteral("Select Departno,Dename From Depart25 Where Departno = ") +
                   SqlLiteral(code) + QStringLiteral(" Order By Departno"));
    const Recordset& rs = query.recordset();
    t4[0]->setText(HasCurrentRow(rs) ? rs.field(QStringLiteral("departno")).toString() : QString());
    t4[1]->setText(HasCurrentRow(rs) ? rs.field(QStringLiteral("dename")).toString() : QString());
}

void P::leaveShare() {
    t4[2]->setText(FormatAmount(ToNumber(t4[2]->text())));
    t4[3]->setText(AssetRules::AllocationAmount(t4[2]->text(), t2[13]->text()));
}

void P::openDepartmentLookup() {
    static const auto departments = std::make_shared<ProcedureLookupSource>(
        QStringLiteral("SF_ZQ2K_DEPART25_F2"), QStringLiteral("a"), QStringLiteral("b"));
    lookupOwner = 40;
    if (!dgf2->open(
            t4[0], departments, [this] { return LikePrefix(t4[0]->text()); },
            QStringLiteral("找不到相關部門資料!"))) {
        t4[0]->clear();
        t4[1]->clear();
        t4[0]->setFocus();
    }
}
