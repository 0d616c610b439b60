#pragma once

#include <QString>

#include "DbError.h"

// The front end's failures, worded as the suite's SQL Server words them.
namespace SqlErrors {
// "接近 'X' 之處的語法不正確。" (0x80040E14).
DbError syntaxNear(const QString& token);
// "在字元字串 'X' 之後有未封閉的引號。" (0x80040E14).
DbError unclosedQuote(const QString& rest);
// "找不到預存程序 'X'。" (0x80040E14).
DbError unknownProcedure(const QString& name);
// "SQL 陳述式的某個部分巢狀太深。..." (0x80040E14): expressions, subqueries or blocks nested
// deeper than the front end follows.
DbError nestedTooDeeply();
// "查詢處理器已用盡內部資源，因此無法產生查詢計劃。..." (0x80040E14): a statement too large to
// run, such as one with more values than SQLite binds.
DbError tooComplex();
// "將 expression 轉換為資料類型 bigint 時發生算術溢位錯誤。" (0x80040E14).
DbError bigintOverflow();
// The server's stack gave out: an expression too long to compile (a chain of thousands of
// + or *).
DbError stackLimit();
// A float beyond eight bytes, as the server refuses the arithmetic that makes one.
DbError floatOverflow();
// "將資料類型 FROM 轉換成 TO 時發生錯誤。" (0x80040E14).
DbError conversion(const QString& from, const QString& to);
// Throws DbError (0x80040E14) for a number literal the server refuses to read: a float beyond
// eight bytes ("1e999"), or a decimal of more than 38 digits.
void checkNumber(QStringView literal);
// "無效的物件名稱 'X'。" (0x80040E37).
DbError unknownTable(const QString& name);
// A command text without any statement (0x80040E0C).
DbError emptyCommand();
// A failure of SQLite (result code and message) while running the statement text on the
// database file.
DbError fromSqlite(int resultCode, const QString& message, const QString& sql, const QString& path);
}  // namespace SqlErrors
