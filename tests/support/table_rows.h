// The rows of a test's table or script (tables/*.txt, compiled in by
// qvn_test_tables): a line a row, fields apart by "|", the blanks around
// them dropped; empty lines and lines from "#" are left out.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace qvntest {

using TableRow = std::vector<std::string>;

inline std::vector<TableRow> TableRows(const char* text) {
  std::vector<TableRow> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.find_first_not_of(" \r") == std::string::npos || line[0] == '#') continue;
    std::istringstream fields(line + "|");
    rows.emplace_back();
    for (std::string f; std::getline(fields, f, '|');) {
      const size_t first = f.find_first_not_of(" \r");
      rows.back().push_back(first == std::string::npos ? "" : f.substr(first, f.find_last_not_of(" \r") - first + 1));
    }
  }
  return rows;
}

}  // namespace qvntest
