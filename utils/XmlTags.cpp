#include "utils/XmlTags.h"

namespace Utils {

const std::string tagMessage = "VQM";
const std::string tagSubDiagnostics = "SD";
const std::string tagMultiHomed = "MH";
const std::string tagSuppressionState = "SS";
const std::string tagMessageParameters = "MP";
const std::string tagLocationInformation = "LI";
const std::string tagFile = "F";
const std::string tagLine = "L";
const std::string tagColumn = "C";
const std::string tagUniqueMessageID = "UMID";
const std::string tagHelpFileLocation = "HFL";
const std::string tagMessageLevel = "ML";
const std::string tagMessageNumber = "MN";
const std::string tagMessageText = "MT";
const std::string tagProducer = "P";
const std::string tagReferences = "R";
const std::string tagVQEntities = "VQE";
const std::string tagVQDiagnosticList = "VQD";
const std::string tagVQMessageRuleMapList = "VQMessageRuleMap";
const std::string tagUniqueRuleIdList = "UniqueRuleId";
const std::string tagVQMessageRuleMap = "VQMessageRuleMapping";
const std::string tagVQMessageRuleMapEntry = "VQMessageRuleMapEntry";
const std::string tagVQRuleGroup = "VQRuleGrouping";
const std::string tagVQRuleGroupEntry = "VQRuleGroupEntry";
const std::string tagMsgRuleMap = "MessageRuleMap";
const std::string tagMsgMapping = "MessageMapping";
const std::string tagUniqueRuleId = "UniqueRuleId";
const std::string tagRuleGrps = "RuleGroups";
const std::string tagRuleGroup = "RuleGroup";
const std::string tagRuleGroupName = "RuleGroupName";
const std::string tagRule = "Rule";
const std::string tagRuleId = "RuleId";
const std::string tagIsActive = "IsActive";
const std::string tagRuleGroupStr = "RuleGroupStr";
const std::string tagRuleText = "RuleText";
const std::string tagRuleUID = "RuleUID";
const std::string tagRuleCategory = "RuleCategory";
const std::string tagChildRule = "ChildRule";
const std::string tagMappedMessage = "MappedMessage";
const std::string tagLanguages = "VQL";
const std::string tagLanguage = "L";
const std::string tagVQFile = "VQF";
const std::string tagIncludedPaths = "IP";
const std::string tagDefinitions = "DEF";
const std::string tagSourceLanguage = "SL";
const std::string tagTrees = "Tr";
const std::string tagFileTree = "FT";
const std::string tagMessageTree = "MT";
const std::string tagRuleTree = "RT";
const std::string tagType = "Ty";
const std::string tagName = "N";
const std::string tagData = "D";
const std::string tagTotal = "To";
const std::string tagActive = "A";
const std::string tagSubItem = "SI";

}  // namespace Utils
