// A KERVApi method bound to its arguments, whose result is printed so that
// methods of every result type fit in one table: numbers in decimal, texts in
// quotes, a null text as nullptr, nothing as void.
#pragma once

#include <functional>
#include <string>
#include <type_traits>

#include "api/KERVApi.h"

using BoundCall = std::function<std::string(KERVApi&)>;

inline std::string Printed(int number) {
    return std::to_string(number);
}
inline std::string Printed(const char* text) {
    return text != nullptr ? "\"" + std::string(text) + "\"" : "nullptr";
}
inline std::string Printed(const std::string& text) {
    return Printed(text.c_str());
}

template <typename Method, typename... Arguments>
BoundCall Bind(Method method, Arguments... arguments) {
    return [=](KERVApi& api) -> std::string {
        if constexpr (std::is_void_v<decltype((api.*method)(arguments...))>) {
            (api.*method)(arguments...);
            return "void";
        } else {
            return Printed((api.*method)(arguments...));
        }
    };
}
