#include "window/Messages.h"

#include "data/Error.h"
#include "db/CodePage.h"
#include "db/Error.h"
#include "mrp/Identifiers.h"
#include "mrp/Numbering.h"
#include "mrp/QueryDump.h"
#include "mrp/RequisitionEngine.h"
#include "mrp/Rules.h"
#include "report/Requisition.h"

namespace window {

ClerkError::ClerkError(const QString& headline, const QString& detail)
    : std::runtime_error(WithDetail(headline, detail).toStdString()), headline_(headline), detail_(detail) {}

QString WithDetail(const QString& headline, const QString& detail) {
    return detail.isEmpty() ? headline : headline + QLatin1Char('\n') + detail;
}

namespace {

QString Headline(const std::exception& e) {
    if (auto* db = dynamic_cast<const db::DbError*>(&e)) {
        if (db->isLockConflict()) return QStringLiteral("其他使用者正在處理同一筆資料，請稍後再試。");
        return QStringLiteral("資料庫錯誤，請稍後再試或通知系統管理員。");
    }
    if (dynamic_cast<const data::DataError*>(&e))
        return QStringLiteral("資料無法處理，請檢查輸入的內容，或重新按「確定」後再試。");
    if (dynamic_cast<const mrp::CommandNotAvailable*>(&e))
        return QStringLiteral("現在不能執行這個動作，請先按「確定」載入訂單。");
    if (dynamic_cast<const mrp::InputError*>(&e)) return QStringLiteral("輸入的代號無法使用，請修改後再試。");
    if (dynamic_cast<const mrp::CounterRowError*>(&e))
        return QStringLiteral("無法取得請購單號，請通知系統管理員修正計數資料。");
    if (dynamic_cast<const mrp::RuleError*>(&e))
        return QStringLiteral("產品或物料結構的資料有誤，請通知系統管理員修正。");
    if (dynamic_cast<const mrp::QueryDumpError*>(&e))
        return QStringLiteral("無法寫入查詢記錄檔，請檢查磁碟空間或資料夾權限。");
    if (dynamic_cast<const report::RequisitionNotFound*>(&e))
        return QStringLiteral("找不到這張請購單，請確認單號。");
    if (dynamic_cast<const report::RequisitionVoided*>(&e))
        return QStringLiteral("這張請購單已作廢，沒有可列印的內容。");
    return QStringLiteral("發生未預期的錯誤，請通知系統管理員。");
}

}  // namespace

QString ClerkMessage(const std::exception& e) {
    if (auto* own = dynamic_cast<const ClerkError*>(&e)) return own->what();
    return WithDetail(Headline(e), QString::fromUtf8(e.what()));
}

QString StartFailedMessage(const std::exception& e) {
    if (auto* own = dynamic_cast<const ClerkError*>(&e)) return own->what();
    return WithDetail(QStringLiteral("無法連上資料庫，程式無法開啟。請確認連線設定 (connections.ini) 或通知系統管理員。"),
                      QString::fromUtf8(e.what()));
}

QString UnstorableText(const db::CodePage& page, const QString& text) {
    try {
        page.Encode(text);
        return {};
    } catch (const db::DbError&) {
    }
    const QString character = mrp::FirstUnstorable(text, page);
    if (character.isEmpty()) return QStringLiteral("這段文字無法存入資料庫 (Big5)，請改用其他字。");
    return QStringLiteral("「%1」無法存入資料庫 (Big5)，請改用其他字。").arg(character);
}

}  // namespace window
