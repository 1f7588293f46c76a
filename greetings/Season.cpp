#include "greetings/Season.h"

namespace lumo::greetings {

using LumoAccess::GreetingInformation;

const std::array<SeasonInfo, 4>& seasons() {
    static constexpr std::array<SeasonInfo, 4> table{{
        {Season::NewYear, "年賀", "newyear", &GreetingInformation::blnNewYear_Send, &GreetingInformation::blnNewYear_Receive},
        {Season::Summer, "暑中", "summer", &GreetingInformation::blnSummer_Send, &GreetingInformation::blnSummer_Receive},
        {Season::MidYear, "中元", "midyear", &GreetingInformation::blnMidYear_Send, &GreetingInformation::blnMidYear_Receive},
        {Season::YearEnd, "歳暮", "yearend", &GreetingInformation::blnYearEnd_Send, &GreetingInformation::blnYearEnd_Receive},
    }};
    return table;
}

const SeasonInfo& seasonInfo(Season season) { return seasons()[static_cast<std::size_t>(season)]; }

std::optional<Season> parseSeason(std::string_view text) {
    for (const SeasonInfo& s : seasons())
        if (text == s.name || text == s.key) return s.season;
    return std::nullopt;
}

}  // namespace lumo::greetings
