// formats.h - Oracle's format models for TO_CHAR and TO_DATE, and the text
// form in which the sandbox stores a DATE in SQLite.
#pragma once

#include "sandbox/value.h"

#include <optional>
#include <string>
#include <string_view>

namespace sandbox::sql {

// DATE as stored: 'YYYY-MM-DD HH:MM:SS' (sorts and compares as text).
std::string storedDate(DateTime d);
std::optional<DateTime> parseStoredDate(std::string_view text);

// TO_CHAR(date, fmt): YYYY YY RRRR RR MM MON MONTH DD DDD D DY DAY HH HH12
// HH24 MI SS SSSSS AM PM Q J FM, "quoted text" and punctuation.
std::string formatDate(DateTime d, std::string_view fmt);
// TO_DATE(text, fmt); throws OraError (ORA-01861, ORA-01843 ...) on mismatch.
DateTime parseDate(std::string_view text, std::string_view fmt);

// TO_CHAR(number, fmt): 9 0 , . G D $ S MI FM; '#' fill when it does not fit.
std::string formatNumber(const Number& n, std::string_view fmt);
// TO_NUMBER(text[, fmt]): group separators and currency signs allowed;
// ORA-01722 when the text is no number.
Number parseNumber(std::string_view text, std::string_view fmt = {});

} // namespace sandbox::sql
