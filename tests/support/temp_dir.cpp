#include "temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace vc::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vellumcraft-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::File(std::string_view name) const {
    return (m_path / name).string();
}

std::string TempDir::Write(std::string_view name, std::span<const uint8_t> bytes) const {
    const std::string path = File(name);
    std::ofstream out(path, std::ios::binary);
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
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

}  // namespace vc::test
