#include "backups.h"

#include <algorithm>
#include <functional>
#include <map>

using namespace std::chrono;

namespace {

constexpr int dailyDays = 7;
constexpr int weeklyWeeks = 4;
constexpr int monthlyMonths = 12;
// Kept whatever today is: a clock set far ahead must not take every backup with one save.
constexpr std::size_t alwaysNewest = 7;

// Weeks counted from a Monday: 1970-01-01 was a Thursday, three days after one.
long long weekOf(sys_days day)
{
    const long long sinceMonday = day.time_since_epoch().count() + 3;
    return sinceMonday >= 0 ? sinceMonday / 7 : (sinceMonday - 6) / 7;
}

long long monthOf(year_month_day day)
{
    return static_cast<long long>(int(day.year())) * 12 + unsigned(day.month()) - 1;
}

} // namespace

std::vector<year_month_day> backupsToKeep(
    const std::vector<year_month_day> &backups, year_month_day today)
{
    const sys_days now { today };
    const sys_days weeklyFrom = now - days { dailyDays };
    const sys_days monthlyFrom = weeklyFrom - days { 7 * weeklyWeeks };
    const long long oldestMonth = monthOf(year_month_day { monthlyFrom }) - (monthlyMonths - 1);

    // The newest backup of each week and each month in their spans, by its day.
    std::map<long long, sys_days> newestOfWeek;
    std::map<long long, sys_days> newestOfMonth;
    const auto keepNewest = [](std::map<long long, sys_days> &newest, long long key, sys_days day) {
        const auto [place, added] = newest.try_emplace(key, day);
        if (!added)
            place->second = std::max(place->second, day);
    };
    for (const year_month_day &backup : backups) {
        const sys_days day { backup };
        if (day > weeklyFrom)
            continue;
        if (day > monthlyFrom)
            keepNewest(newestOfWeek, weekOf(day), day);
        else if (monthOf(backup) >= oldestMonth)
            keepNewest(newestOfMonth, monthOf(backup), day);
    }

    std::vector<sys_days> newestFirst;
    newestFirst.reserve(backups.size());
    for (const year_month_day &backup : backups)
        newestFirst.emplace_back(backup);
    std::sort(newestFirst.begin(), newestFirst.end(), std::greater<>());
    const sys_days newestFrom = newestFirst.size() < alwaysNewest
        ? sys_days::min()
        : newestFirst[alwaysNewest - 1];

    std::vector<year_month_day> kept;
    for (const year_month_day &backup : backups) {
        const sys_days day { backup };
        if (day >= newestFrom) {
            kept.push_back(backup);
            continue;
        }
        const auto isNewest = [day](const std::map<long long, sys_days> &newest, long long key) {
            const auto found = newest.find(key);
            return found != newest.end() && found->second == day;
        };
        if (day > weeklyFrom || (day > monthlyFrom && isNewest(newestOfWeek, weekOf(day)))
            || (day <= monthlyFrom && isNewest(newestOfMonth, monthOf(backup))))
            kept.push_back(backup);
    }
    return kept;
}
