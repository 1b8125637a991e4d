// SPDX-License-Identifier: GPL-3.0-or-later
#include "texlist/image_kinds.h"

#include <algorithm>

namespace vc {

namespace {

bool Proves(const ImageKindInfo& info, std::span<const uint8_t> start) {
    const std::string_view signature = info.Signature;
    return !signature.empty() && start.size() >= signature.size() &&
           std::equal(signature.begin(), signature.end(), start.begin(),
                      [](char expected, uint8_t found) { return static_cast<uint8_t>(expected) == found; });
}

// "*.jpg; *.jpe; *.jpeg"
std::string Patterns(const ImageKindInfo& info) {
    std::string patterns;
    for (const std::string_view extension : info.Extensions) {
        if (!extension.empty()) {
            patterns += (patterns.empty() ? "*" : "; *") + std::string(extension);
        }
    }
    return patterns;
}

}  // namespace

const ImageKindInfo& InfoOf(ImageKind kind) {
    return *std::find_if(kImageKinds.begin(), kImageKinds.end(),
                         [kind](const ImageKindInfo& info) { return info.Kind == kind; });
}

std::optional<ImageKind> KindOfExtension(std::string_view extension) {
    for (const ImageKindInfo& info : kImageKinds) {
        if (!extension.empty() &&
            std::find(info.Extensions.begin(), info.Extensions.end(), extension) != info.Extensions.end()) {
            return info.Kind;
        }
    }
    return std::nullopt;
}

ImageKind KindOfContent(std::span<const uint8_t> start, ImageKind byExtension) {
    if (Proves(InfoOf(byExtension), start)) {
        return byExtension;
    }
    for (const ImageKindInfo& info : kImageKinds) {
        if (Proves(info, start)) {
            return info.Kind;
        }
    }
    return byExtension;
}

std::string ImageDialogFilter(bool forAdding) {
    std::string all;
    std::string each;
    for (const ImageKindInfo& info : kImageKinds) {
        const std::string patterns = Patterns(info);
        all += (all.empty() ? "" : "; ") + patterns;
        each += "|" + std::string(info.DialogName) + " (" + patterns + ")|" + patterns;
    }
    if (forAdding) {
        all += "; *.txt; *.txd";
        each += "|Texture Lists (*.txt)|*.txt|Texture Dictionaries (*.txd)|*.txd";
    }
    return "All Supported Files|" + all + each;
}

std::string ImageExtensionList() {
    std::string list;
    for (const ImageKindInfo& info : kImageKinds) {
        for (const std::string_view extension : info.Extensions) {
            if (!extension.empty()) {
                list += (list.empty() ? "" : ", ") + std::string(extension);
            }
        }
    }
    return list;
}

}  // namespace vc
