// The fixed set of queries the benchmark times besides typed names: every
// field and operator of the query language, or, negation and parentheses,
// with names, stats, skills and values the generated item file holds.
#pragma once

#include <string>
#include <vector>

namespace quarry {

const std::vector<std::string>& fieldQueries();

} // namespace quarry
