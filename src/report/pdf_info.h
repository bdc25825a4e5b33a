#pragma once

#include <string>

namespace tw {

/// The document-information fields of a PDF file.
struct TPdfInfo {
    std::string Title;
    std::string Author;
    std::string Subject;
    std::string Creator;
    std::string Producer;
};

/// Gives a complete PDF file (classic cross-reference table) a new document-information
/// dictionary by appending an incremental update; the creation date of the old dictionary is
/// kept. Texts are UTF-8. False, with the bytes unchanged, when the file's trailer cannot be read.
bool ReplacePdfInfo(std::string& pdf, const TPdfInfo& info);

}  // namespace tw
