#pragma once

#include <chrono>
#include <vector>

// Which of the daily backups to keep on the given day: every one of the last 7 days, then the
// newest of each calendar week (Monday to Sunday) for the 4 weeks before those, then the newest of
// each calendar month for 12 months before that. A backup dated after today is kept, and so are the 7
// newest whatever their dates: a clock set back or far ahead must not cost one. The result is in
// the order of backups.
[[nodiscard]] std::vector<std::chrono::year_month_day> backupsToKeep(
    const std::vector<std::chrono::year_month_day> &backups, std::chrono::year_month_day today);
