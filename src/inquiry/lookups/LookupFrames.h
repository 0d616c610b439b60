#pragma once

class InquiryFrame;
class QWidget;

// The entry frames of the lookups that start from a typed code.
namespace LookupFrames {
InquiryFrame* vendor(QWidget* parent);           // mode 3 "J 廠商查詢"
InquiryFrame* customerSales(QWidget* parent);    // mode 6 "Y 客戶查詢"
InquiryFrame* customerRepairs(QWidget* parent);  // mode 17 "M 客戶維修"
InquiryFrame* lotNumber(QWidget* parent);        // mode 21 "A 批號查詢"
InquiryFrame* externalCode(QWidget* parent);     // mode 23 "Z 查外部碼"
}  // namespace LookupFrames
