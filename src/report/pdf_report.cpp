#include "report/pdf_report.h"

#include <utility>

namespace tw {

void TPdfTabs::AddRow(std::string name, std::string date, std::string age, std::string next,
                      std::string event, std::string email, std::string remark) {
    rows_.push_back({std::move(name), std::move(date), std::move(age), std::move(next),
                     std::move(event), std::move(email), std::move(remark)});
}

}  // namespace tw
