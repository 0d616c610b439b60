#pragma once

#include <QList>

#include "RecordsetModel.h"

// The asset list of both reports: the columns of its statement, as the grids show them.
inline QList<RecordsetModel::Column> AssetListColumns() {
    const QString whole = QStringLiteral("#,##0");
    const QString amount = QStringLiteral("#,##0.00");
    return {{QStringLiteral("財產編號"), QStringLiteral("財產編號"), {}},
            {QStringLiteral("財產名稱"), QStringLiteral("財產名稱"), {}},
            {QStringLiteral("會計科目"), QStringLiteral("會計科目"), {}},
            {QStringLiteral("取得日期"), QStringLiteral("取得日期"), {}},
            {QStringLiteral("取得原價"), QStringLiteral("取得原價"), whole},
            {QStringLiteral("預留殘值"), QStringLiteral("預留殘值"), whole},
            {QStringLiteral("耐用月數"), QStringLiteral("耐用月數"), whole},
            {QStringLiteral("每期攤提金額"), QStringLiteral("每期攤提金額"), amount},
            {QStringLiteral("本期累計折舊金額"), QStringLiteral("本期累計折舊金額"), amount},
            {QStringLiteral("剩餘使用價值"), QStringLiteral("剩餘使用價值"), amount},
            {QStringLiteral("售出"), QStringLiteral("售出"), {}},
            {QStringLiteral("售出日期"), QStringLiteral("售出日期"), {}}};
}

// The columns of amounts in that list (cost, residual, per period, to date, remaining).
inline QList<int> AssetListAmountColumns() { return {4, 5, 7, 8, 9}; }

// The statement of the asset list for a condition.
inline QString AssetListStatement(const QString& condition) {
    return QStringLiteral(
               "Select Acode As '財產編號',Aname As '財產名稱',Acod1 As '會計科目',Adat1 As "
               "'取得日期',Atota As '取得原價',Atot1 As '預留殘值',Ayear As '耐用月數',Atot3 As "
               "'每期攤提金額',Atot4 As '本期累計折舊金額',Atot5 As '剩餘使用價值',Case When "
               "Asell = 1 Then '是' Else '否' End As '售出',Adat2 As '售出日期' From Asset ") +
           condition + QStringLiteral(" Order By Acode");
}
