// SPDX-License-Identifier: GPL-3.0-or-later
#include "temp_dir.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <stdexcept>
#include <vector>

#include "io/file_io.h"

namespace vc::test {

TempDir::TempDir() {
    static thread_local std::mt19937_64 random(std::random_device{}());
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_path = std::filesystem::temp_directory_path() / ("vellumcraft-test-" + std::to_string(random() % 1000000000));
        if (std::filesystem::create_directory(m_path)) {
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::File(std::string_view name) const {
    return FromFsPath((m_path / ToFsPath(name)).make_preferred());
}

std::string TempDir::Write(std::string_view name, std::span<const uint8_t> bytes) const {
    const std::string path = File(name);
    std::ofstream out(ToFsPath(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
    return path;
}

std::string TempDir::WriteText(std::string_view name, std::string_view text) const {
    return Write(name, {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(ToFsPath(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

std::vector<std::string> NamesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace vc::test
