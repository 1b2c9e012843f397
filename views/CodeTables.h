#pragma once

#include <algorithm>
#include <array>
#include <optional>

// The row of a table sorted by its `code` member, or nothing when the code has no row.
template <typename Row, size_t Size>
constexpr std::optional<Row> FindRowByCode(const std::array<Row, Size>& table, int code) {
  const auto it = std::lower_bound(table.begin(), table.end(), code,
                                   [](const Row& row, int wanted) { return row.code < wanted; });
  if (it == table.end() || it->code != code) return std::nullopt;
  return *it;
}

template <typename Row, size_t Size>
constexpr bool IsSortedByCode(const std::array<Row, Size>& table) {
  return std::is_sorted(table.begin(), table.end(),
                        [](const Row& a, const Row& b) { return a.code < b.code; });
}
