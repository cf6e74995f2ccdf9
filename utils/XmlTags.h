// The tag names of the compact result XML.
//
// One global string per tag, made when the library is loaded and never
// changed afterwards. Writers and the reader refer to the tags by these names
// and never spell a tag text out themselves. Some globals share a text ("L",
// "MT", "UniqueRuleId"); their elements never meet in one document.
#pragma once

#include <string>

namespace Utils {

extern const std::string tagMessage;
extern const std::string tagSubDiagnostics;
extern const std::string tagMultiHomed;
extern const std::string tagSuppressionState;
extern const std::string tagMessageParameters;
extern const std::string tagLocationInformation;
extern const std::string tagFile;
extern const std::string tagLine;
extern const std::string tagColumn;
extern const std::string tagUniqueMessageID;
extern const std::string tagHelpFileLocation;
extern const std::string tagMessageLevel;
extern const std::string tagMessageNumber;
extern const std::string tagMessageText;
extern const std::string tagProducer;
extern const std::string tagReferences;
extern const std::string tagVQEntities;
extern const std::string tagVQDiagnosticList;
extern const std::string tagVQMessageRuleMapList;
extern const std::string tagUniqueRuleIdList;
extern const std::string tagVQMessageRuleMap;
extern const std::string tagVQMessageRuleMapEntry;
extern const std::string tagVQRuleGroup;
extern const std::string tagVQRuleGroupEntry;
extern const std::string tagMsgRuleMap;
extern const std::string tagMsgMapping;
extern const std::string tagUniqueRuleId;
extern const std::string tagRuleGrps;
extern const std::string tagRuleGroup;
extern const std::string tagRuleGroupName;
extern const std::string tagRule;
extern const std::string tagRuleId;
extern const std::string tagIsActive;
extern const std::string tagRuleGroupStr;
extern const std::string tagRuleText;
extern const std::string tagRuleUID;
extern const std::string tagRuleCategory;
extern const std::string tagChildRule;
extern const std::string tagMappedMessage;
extern const std::string tagLanguages;
extern const std::string tagLanguage;
extern const std::string tagVQFile;
extern const std::string tagIncludedPaths;
extern const std::string tagDefinitions;
extern const std::string tagSourceLanguage;
extern const std::string tagTrees;
extern const std::string tagFileTree;
extern const std::string tagMessageTree;
extern const std::string tagRuleTree;
extern const std::string tagType;
extern const std::string tagName;
extern const std::string tagData;
extern const std::string tagTotal;
extern const std::string tagActive;
extern const std::string tagSubItem;

}  // namespace Utils
