#include "ItemViews.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

#include "CompanyGroup.h"
#include "ResultSet.h"
#include "SqlLiteral.h"
#include "SuiteDatabase.h"
#include "Values.h"

namespace ItemViews {
namespace {
// Elements that end without their closing tag, or have none.
bool closesItself(QStringView tag) {
    static const QStringList names = {
        "area", "base", "br", "col", "colgroup", "dd", "dt", "embed", "hr", "img", "input",
        "li", "link", "meta", "option", "p", "param", "source", "tbody", "td", "tfoot", "th",
        "thead", "tr", "track", "wbr", "html", "head", "body", "!doctype"};
    for (const QString& n : names)
        if (tag.compare(n, Qt::CaseInsensitive) == 0) return true;
    return false;
}
}  // namespace

bool rendersAsMarkup(const QString& text) {
    if (text.size() > MaxMarkupChars) return false;
    int depth = 0;
    for (qsizetype i = text.indexOf(u'<'); i >= 0; i = text.indexOf(u'<', i + 1)) {
        const bool closing = i + 1 < text.size() && text[i + 1] == u'/';
        qsizetype end = i + (closing ? 2 : 1);
        while (end < text.size() && (text[end].isLetterOrNumber() || text[end] == u'!')) ++end;
        const QStringView tag = QStringView(text).mid(i + (closing ? 2 : 1),
                                                      end - i - (closing ? 2 : 1));
        if (tag.isEmpty() || closesItself(tag)) continue;
        const qsizetype close = text.indexOf(u'>', end);
        if (!closing && close > 0 && text[close - 1] == u'/') continue;
        depth += closing ? -1 : 1;
        if (depth > MaxMarkupDepth) return false;
        depth = std::max(depth, 0);
    }
    return true;
}

bool wrapsAnywhere(QStringView text) {
    qsizetype run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > MaxWordChars) return true;
    }
    return false;
}

QString plainPage(const QString& text) {
    if (text.size() <= MaxPlainPageChars) return text;
    // A character of two halves is shown whole or not at all.
    return text.left(MaxPlainPageChars - (text[MaxPlainPageChars - 1].isHighSurrogate() ? 1 : 0));
}

QString resourceFile(const QString& folder, const QUrl& name) {
    // Only a path: no scheme but file, no host (//host/x and file://host/share are shares).
    if (!name.host().isEmpty() || !(name.scheme().isEmpty() || name.isLocalFile())) return {};
    const QString path = name.isLocalFile() ? name.toLocalFile() : name.path();
    if (path.isEmpty() || path.startsWith(QLatin1String("//")) ||
        path.startsWith(QLatin1String("\\\\")))
        return {};
    const QFileInfo file(QDir(folder).filePath(path));
    const QString inside = QFileInfo(folder).canonicalFilePath() + u'/';
    const QString target = file.canonicalFilePath();  // links resolved; empty when dangling
    if (target.isEmpty() || !target.startsWith(inside)) return {};
    const QFileInfo resolved(target);
    if (!resolved.isFile() || resolved.size() > MaxResourceBytes) return {};
    return target;
}

QStringList resolution(const QString& text) {
    const QString value = SqlLiteral(text);
    return {QStringLiteral("SF_ZQ2K_ITEM_ALL ") + value + QStringLiteral(",'',0"),
            QStringLiteral("select * from item where icode = ") + value,
            QStringLiteral("select * from item where icode = (select top 1 icode1 from item1 "
                           "where ena13 = right('000' + ") +
                value + QStringLiteral(" ,13)order by icode1)"),
            QStringLiteral("select * from item where icode = (select top 1 icode1 from item1 "
                           "where co128 = ") +
                value + QStringLiteral(" order by icode1)")};
}

QString byName(const QString& name) {
    return QStringLiteral("SELECT TOP 2 ICODE,INAME FROM ITEM WHERE INAME = ") + SqlLiteral(name) +
           QStringLiteral(" ORDER BY ICODE");
}

QString byCode(const QString& code) {
    return QStringLiteral("SELECT TOP 2 ICODE,INAME FROM ITEM WHERE ICODE = ") + SqlLiteral(code) +
           QStringLiteral(" ORDER BY ICODE");
}

QString codeListFirstPage(const QString& typed) {
    return QStringLiteral("SELECT TOP 15 ICODE,INAME,INUMB,ICONS FROM ITEM WHERE ICODE Like ") +
           SqlLiteral(LikePrefix(typed)) + QStringLiteral(" ORDER BY ICODE");
}

QString counts(const QString& item) {
    return QStringLiteral("SF_ZQ2K_ITEM_COUNTS ") + SqlLiteral(item);
}

QStringList countCaptions() {
    QStringList captions = {QStringLiteral("累積銷量"), QStringLiteral("本月累銷"),
                            QStringLiteral("上週銷量"), QStringLiteral("本週銷量"),
                            QStringLiteral("週貨退量"), QStringLiteral("累積退量"),
                            QStringLiteral("總 訂 量")};
    for (const char* n : {"１", "２", "３", "４", "５", "６", "７", "８"})
        captions << QStringLiteral("週 訂 ") + QString::fromUtf8(n);
    return captions;
}

QByteArray htmlPage(const QString& text) {
    return QByteArrayLiteral(
               "<!DOCTYPE html><html><head><meta http-equiv='Content-Type' "
               "content='text/html; charset=big5'></head><body>") +
           Big5Html(text) + QByteArrayLiteral("</body></html>");
}

QString lastPurchasePrice(const QString& item) {
    return QStringLiteral("Select Top 1 vunit From Visein where vicod = ") + SqlLiteral(item) +
           QStringLiteral(" order by vcod1 desc");
}

QString itemRow(const QString& item) {
    return QStringLiteral("Select * From item Where Icode = ") + SqlLiteral(item);
}

QString correctedMessage(const QVariant& price) {
    return QStringLiteral("成本校正成  ") + QString::number(price.toDouble(), 'g', 15);
}

QString sisterStock(const QString& item) {
    const QString value = SqlLiteral(item);
    QString sql = QStringLiteral("Select ");
    const std::pair<const char*, const char*> sisters[] = {
        {"ZqPro4", "台北"}, {"ZqPro5", "公益"}, {"ZqPro3", "台中"}, {"ZqPro2", "高雄"}};
    for (const auto& [database, name] : sisters)
        sql += QStringLiteral(
                   "IsNull((Select Convert(VarChar,Snumb) From %1..Stoc Where Stcod = "
                   "'001' And Sitem = ")
                   .arg(QLatin1String(database)) +
               value + QStringLiteral("),'無此代號') as '%1庫存',").arg(QString::fromUtf8(name));
    return sql +
           QStringLiteral(
               "IsNull((Select Top 1 Sdat2 From ZqPro3..Sbin Where Sdat2 <> '' And "
               "Sdat2 >= '099.11.01' And Sinyn = 'N' And Scod1 In(Select Scod1 From "
               "ZqPro3..Sise as a Where a.Sicod = ") +
           value +
           QStringLiteral(" and Sinyn = 'N') Order By Sdat2 Asc),'沒有採購') as '採購預定日'");
}

QString sisterStockMessage(const QString& item, const QString& name, const ResultSet& set) {
    QString message = QStringLiteral("查詢產品代號/名稱 :") + item + u'/' + name;
    const QVariantList row = set.rows.value(0);
    for (int i = 0; i < set.columns.size(); ++i)
        message += QStringLiteral("\n　") + set.columns[i] + QStringLiteral(":  ") +
                   row.value(i).toString();
    return message;
}

QString centralConnection(const CompanyGroup& group) {
    const CompanyGroup::Company& c = group.central;
    if (c.key.isEmpty() || c.database.isEmpty() || group.centralAccount.isEmpty()) return {};
    return QStringLiteral("Provider=MSDASQL.1;Password=") + Connections::quote(c.password) +
           QStringLiteral(";Persist Security Info=True;User ID=") + Connections::quote(c.user) +
           QStringLiteral(";Data Source=") + Connections::quote(c.server) +
           QStringLiteral(";Initial Catalog=") + Connections::quote(c.database);
}

QString centralStock(const QString& account, const QString& item) {
    return QStringLiteral("EXEC SF_ZQ2K_VNNET_STOC ") + SqlLiteral(account) + u',' +
           SqlLiteral(item);
}
}  // namespace ItemViews
