#pragma once
// The four greeting seasons of a greeting row and the columns that hold
// their sent (出) and received (受) ticks. Constant tables; any thread.
#include <array>
#include <optional>
#include <string_view>

#include "access/LumoAccess.h"

namespace lumo::greetings {

enum class Season { NewYear, Summer, MidYear, YearEnd };

struct SeasonInfo {
    Season season;
    std::string_view name;  // 年賀, 暑中, 中元, 歳暮: what the user types and reads
    std::string_view key;   // newyear, summer, midyear, yearend
    LumoAccess::Boolean LumoAccess::GreetingInformation::*sent;
    LumoAccess::Boolean LumoAccess::GreetingInformation::*received;
};

const std::array<SeasonInfo, 4>& seasons();
const SeasonInfo& seasonInfo(Season season);
// By its Japanese name or its key; nullopt for anything else.
std::optional<Season> parseSeason(std::string_view text);

}  // namespace lumo::greetings
