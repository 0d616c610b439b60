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
// "無效的物件名稱 'X'。" (0x80040E37).
DbError unknownTable(const QString& name);
// A command text without any statement (0x80040E0C).
DbError emptyCommand();
// A failure of SQLite (result code and message) while running the statement text on the
// database file.
DbError fromSqlite(int resultCode, const QString& message, const QString& sql, const QString& path);
}  // namespace SqlErrors
