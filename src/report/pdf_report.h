#pragma once

#include <array>
#include <string>
#include <vector>

namespace tw {

/// One row of the PDF report: the seven column texts in column order
/// (name, date, age, next time, event, e-mail, remark).
using TPdfTab = std::array<std::string, 7>;

/// The rows of one PDF report, in the order the main list shows them.
class TPdfTabs {
public:
    void AddRow(std::string name, std::string date, std::string age, std::string next,
                std::string event, std::string email, std::string remark);
    const std::vector<TPdfTab>& Rows() const { return rows_; }

private:
    std::vector<TPdfTab> rows_;
};

}  // namespace tw
