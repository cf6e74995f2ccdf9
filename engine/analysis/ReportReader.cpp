#include "engine/analysis/ReportReader.h"

#include <pugixml.hpp>

namespace kerv::engine {

namespace {

pugi::xml_node errorsOf(pugi::xml_document& document, const std::string& xml) {
    if (!document.load_buffer(xml.data(), xml.size())) return {};
    pugi::xml_node results = document.child("results");
    if (results.attribute("version").as_int() != 2) return {};
    return results.child("errors");
}

}  // namespace

bool readReport(const std::string& xml, std::vector<SourcedFinding>& findings) {
    pugi::xml_document document;
    pugi::xml_node errors = errorsOf(document, xml);
    if (!errors) return false;
    for (pugi::xml_node error : errors.children("error")) {
        Finding finding;
        finding.id = error.attribute("id").as_string();
        finding.severity = error.attribute("severity").as_string();
        finding.message = error.attribute("msg").as_string();
        finding.verbose = error.attribute("verbose").as_string();
        finding.cwe = error.attribute("cwe").as_int();
        finding.inconclusive = error.attribute("inconclusive").as_bool();
        for (pugi::xml_node location : error.children("location"))
            finding.locations.push_back({location.attribute("file").as_string(), location.attribute("line").as_int(),
                                         location.attribute("column").as_int(),
                                         location.attribute("info").as_string()});
        for (pugi::xml_node symbol : error.children("symbol")) finding.symbols.emplace_back(symbol.text().as_string());
        std::string source = error.attribute("file0").as_string();
        if (source.empty() && !finding.locations.empty()) source = finding.locations.front().file;
        if (!finding.id.empty()) findings.push_back({std::move(source), std::move(finding)});
    }
    return true;
}

bool readReport(const std::string& xml, std::vector<Finding>& findings) {
    std::vector<SourcedFinding> sourced;
    if (!readReport(xml, sourced)) return false;
    for (SourcedFinding& item : sourced) findings.push_back(std::move(item.finding));
    return true;
}

bool readErrorList(const std::string& xml, std::vector<RuleInfo>& rules) {
    pugi::xml_document document;
    pugi::xml_node errors = errorsOf(document, xml);
    if (!errors) return false;
    for (pugi::xml_node error : errors.children("error")) {
        RuleInfo rule{error.attribute("id").as_string(), error.attribute("severity").as_string(),
                      error.attribute("msg").as_string(), error.attribute("cwe").as_int(),
                      error.attribute("verbose").as_string()};
        if (!rule.id.empty()) rules.push_back(std::move(rule));
    }
    return true;
}

}  // namespace kerv::engine
