#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>

// The provider's error numbers. Every backend maps its own failures onto these.
namespace DbErrorNumber {
constexpr std::uint32_t LoginRefused = 0x80040E4D;
constexpr std::uint32_t NoConnection = 0x80004005;
constexpr std::uint32_t UnknownTable = 0x80040E37;
constexpr std::uint32_t Timeout = 0x80040E31;
constexpr std::uint32_t Syntax = 0x80040E14;  // also an unknown procedure
constexpr std::uint32_t EmptyCommand = 0x80040E0C;
}  // namespace DbErrorNumber

// A failure reported by the database: the provider's error number and its own description.
class DbError : public std::runtime_error {
public:
    DbError(std::uint32_t number, const QString& description)
        : std::runtime_error(description.toStdString()), m_number(number), m_description(description) {}

    std::uint32_t number() const { return m_number; }
    const QString& description() const { return m_description; }
    // "Msg 0x80040E37" as the command-line tools print it.
    QString hexNumber() const;

private:
    std::uint32_t m_number;
    QString m_description;
};
