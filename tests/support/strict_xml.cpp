#include "support/strict_xml.h"

#include <expat.h>

#include <limits>
#include <memory>

namespace testing_support {

std::string StrictXmlProblem(const std::string& bytes) {
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return "too large to check";
    }
    const std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> parser(XML_ParserCreate(nullptr),
                                                                         XML_ParserFree);
    if (!parser) {
        return "no parser";
    }
    if (XML_Parse(parser.get(), bytes.data(), static_cast<int>(bytes.size()), XML_TRUE) ==
        XML_STATUS_OK) {
        return {};
    }
    return std::string(XML_ErrorString(XML_GetErrorCode(parser.get()))) + " at line " +
           std::to_string(XML_GetCurrentLineNumber(parser.get()));
}

}  // namespace testing_support
