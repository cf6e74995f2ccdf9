// The guarded call through one slot of the entry-point table, shared by every
// KERVApi wrapper and getter:
//   "\nCall <Method> \n"                       level 2
//   null slot: the null-slot message, one %s = ""   level 1, failure value
//   "\t> API CALL - <entry point>\n"           level 2
//   "\t\t <label> - <value>\n" per logged argument  level 2
//   the call, then "\t< Result: ...\n"         level 2
//
// Guarded<E> takes exactly the parameter types of entry point E, so an
// argument of the wrong type or a wrong slot does not compile. What differs
// between wrappers is data (CallLog and the failure value).
#pragma once

#include <array>
#include <cstdint>
#include <type_traits>

#include "api/KERVEntryPoints.h"
#include "utils/logger/Logger.h"

namespace kerv {

enum class ByteResult {
    Widen,  // the byte, widened to int unchanged (2 stays 2)
    IsOne,  // 1 when the byte is exactly 1, otherwise 0
};

constexpr const char* kStandardNullSlotMessage = "\tAttempt to call KERVApi::%s failed because ptr2f is null %s\n";

// One label per argument, in argument order; nullptr: argument not logged.
using ArgumentLabels = std::array<const char*, 6>;

struct CallLog {
    ArgumentLabels labels{};
    // Format with one %s for the empty text; nullptr: the standard message.
    const char* nullSlotMessage = nullptr;
    // Name in the API CALL line; nullptr: the entry point's look-up name.
    const char* loggedAs = nullptr;
    ByteResult byteResult = ByteResult::Widen;

    CallLog(ArgumentLabels argumentLabels = {}, const char* nullSlot = nullptr, const char* apiCallName = nullptr,
            ByteResult rule = ByteResult::Widen)
        : labels(argumentLabels), nullSlotMessage(nullSlot), loggedAs(apiCallName), byteResult(rule) {}
};

// The failure value of a void entry point: there is nothing to return.
struct NoResult {};

namespace detail {

inline const char* Printable(const char* text) {
    return text != nullptr ? text : "(null)";
}

inline void LogArgument(const char* label, const char* text) {
    Utils::Logger::Log(2, "\t\t %s - %s\n", label, Printable(text));
}
inline void LogArgument(const char* label, bool flag) {
    Utils::Logger::Log(2, "\t\t %s - %d\n", label, flag ? 1 : 0);
}
template <typename Number, typename = std::enable_if_t<std::is_integral_v<Number> || std::is_enum_v<Number>>>
void LogArgument(const char* label, Number number) {
    Utils::Logger::Log(2, "\t\t %s - %d\n", label, static_cast<int>(number));
}
// The file record about to be released is shown by its address.
inline void LogArgument(const char* label, VQFile_C** file) {
    if (file == nullptr || *file == nullptr) {
        Utils::Logger::Log(2, "\t\t %s - %s\n", label, "null");
    } else {
        Utils::Logger::Log(2, "\t\t %s - %p\n", label, static_cast<void*>(*file));
    }
}
// Arrays, record addresses and callbacks are passed on without a line.
template <typename Pointer>
void LogArgument(const char*, Pointer*) {}

template <typename Argument>
void LogArgumentIfLabelled(const char* label, Argument argument) {
    if (label != nullptr) LogArgument(label, argument);
}

inline void LogResult(int result) {
    Utils::Logger::Log(2, "\t< Result: %d\n", result);
}
inline void LogResult(const char* text) {
    Utils::Logger::Log(2, "\t< Result: %s\n", Printable(text));
}
inline void LogVoidResult() {
    Utils::Logger::Log(2, "\t< Result: %s\n", "void");
}

template <typename Returned>
using WrapperResult = std::conditional_t<std::is_same_v<Returned, uint8_t>, int, Returned>;

template <typename Returned>
using FailureValue = std::conditional_t<std::is_void_v<Returned>, NoResult, WrapperResult<Returned>>;

}  // namespace detail

// Writes the entry line and returns the typed slot; on a null slot also
// writes the null-slot message and returns nullptr.
template <EntryPoint E>
EntryPointFunction<E>* EnterCall(void* const* slots, const char* nullSlotMessage = nullptr) {
    using Traits = EntryPointTraits<E>;
    Utils::Logger::Log(2, "\nCall %s \n", Traits::kMethod);
    auto* function = reinterpret_cast<EntryPointFunction<E>*>(slots[static_cast<std::size_t>(E)]);
    if (function == nullptr) {
        if (nullSlotMessage != nullptr) {
            Utils::Logger::Log(1, nullSlotMessage, "");
        } else {
            Utils::Logger::Log(1, kStandardNullSlotMessage, Traits::kMethod, "");
        }
    }
    return function;
}

template <EntryPoint E, typename Function = EntryPointFunction<E>>
struct Guarded;

template <EntryPoint E, typename Returned, typename... Arguments>
struct Guarded<E, Returned(Arguments...)> {
    using Result = detail::WrapperResult<Returned>;
    using Failure = detail::FailureValue<Returned>;

    // API CALL line, argument lines, the call and the result line; returns
    // the entry point's own result.
    static Returned Invoke(EntryPointFunction<E>* function, const CallLog& log, Arguments... arguments) {
        static_assert(sizeof...(Arguments) <= std::tuple_size_v<ArgumentLabels>, "one label per argument");
        Utils::Logger::Log(2, "\t> API CALL - %s\n",
                           log.loggedAs != nullptr ? log.loggedAs : EntryPointTraits<E>::kName);
        std::size_t index = 0;
        (detail::LogArgumentIfLabelled(log.labels[index++], arguments), ...);
        (void)index;
        if constexpr (std::is_void_v<Returned>) {
            function(arguments...);
            detail::LogVoidResult();
            return;
        } else {
            Returned result = function(arguments...);
            detail::LogResult(result);
            return result;
        }
    }

    static Result Call(void* const* slots, const CallLog& log, Failure failure, Arguments... arguments) {
        auto* function = EnterCall<E>(slots, log.nullSlotMessage);
        if constexpr (std::is_void_v<Returned>) {
            (void)failure;
            if (function != nullptr) Invoke(function, log, arguments...);
            return;
        } else if constexpr (std::is_same_v<Returned, uint8_t>) {
            if (function == nullptr) return failure;
            const uint8_t byte = Invoke(function, log, arguments...);
            return log.byteResult == ByteResult::IsOne ? (byte == 1 ? 1 : 0) : static_cast<int>(byte);
        } else {
            if (function == nullptr) return failure;
            return Invoke(function, log, arguments...);
        }
    }
};

}  // namespace kerv
