#include "bridge/ArgumentCheck.h"

#include "utils/logger/Logger.h"

namespace kerv::bridge {
namespace {

const char* describe(JavaText::State state) {
    switch (state) {
        case JavaText::State::Null:
            return "is null";
        case JavaText::State::HoldsNul:
            return "holds a NUL character";
        case JavaText::State::Unreadable:
            return "could not be read";
        case JavaText::State::Usable:
            break;
    }
    return "is usable";
}

}  // namespace

bool acceptTexts(const char* method, std::initializer_list<NamedText> texts) {
    for (const NamedText& argument : texts) {
        if (argument.text.usable()) continue;
        Utils::Logger::Log(1, "\n%s refused: argument %s %s\n", method, argument.name, describe(argument.text.state()));
        return false;
    }
    return true;
}

}  // namespace kerv::bridge
