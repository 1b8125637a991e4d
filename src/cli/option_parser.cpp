// SPDX-License-Identifier: GPL-3.0-or-later
#include "option_parser.h"

#include <algorithm>
#include <string>

#include "usage_error.h"

namespace vc::cli {

bool ParsedArguments::Has(std::string_view option) const {
    return std::any_of(m_options.begin(), m_options.end(), [&](const auto& given) { return given.first == option; });
}

std::optional<std::string_view> ParsedArguments::Value(std::string_view option) const {
    const auto last =
        std::find_if(m_options.rbegin(), m_options.rend(), [&](const auto& given) { return given.first == option; });
    return last == m_options.rend() ? std::nullopt : std::optional(last->second);
}

void ParsedArguments::AddOption(std::string_view option, std::string_view value) {
    m_options.emplace_back(option, value);
}

namespace {

const Option* FindOption(std::span<const Option> options, std::string_view argument) {
    const auto matches = [&](const Option& option) {
        return argument.starts_with("--") ? argument.substr(2) == option.Long
                                          : argument.size() == 2 && option.Short != 0 && argument[1] == option.Short;
    };
    const auto found = std::find_if(options.begin(), options.end(), matches);
    return found == options.end() ? nullptr : &*found;
}

}  // namespace

ParsedArguments ParseArguments(std::span<const std::string_view> arguments, std::span<const Option> options) {
    ParsedArguments parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            parsed.AddOperand(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        std::optional<std::string_view> attached;
        if (const size_t equals = argument.find('='); argument.starts_with("--") && equals != std::string_view::npos) {
            attached = argument.substr(equals + 1);
            argument = argument.substr(0, equals);
        }
        const Option* option = FindOption(options, argument);
        if (option == nullptr) {
            throw UsageError("unknown option " + std::string(argument));
        }
        if (option->ValueName.empty()) {
            if (attached) {
                throw UsageError(std::string(argument) + " takes no value");
            }
            parsed.AddOption(option->Long);
            continue;
        }
        if (!attached && i + 1 == arguments.size()) {
            throw UsageError(std::string(argument) + " needs a value (" + std::string(option->ValueName) + ")");
        }
        parsed.AddOption(option->Long, attached ? *attached : arguments[++i]);
    }
    return parsed;
}

}  // namespace vc::cli
