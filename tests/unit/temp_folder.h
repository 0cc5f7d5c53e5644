#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace tarvix::testing {

// A fresh folder for one test, removed with everything in it afterwards. Its
// path() ends with a separator, as the program's script folder does.
class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        const auto base = std::filesystem::temp_directory_path();
        for (;;) {
            dir_ = base / ("tarvix-test-" + std::to_string(rd()));
            if (std::filesystem::create_directory(dir_)) break;
        }
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string path() const { return dir_.string() + "/"; }
    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(file(name), std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(file(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }
    size_t Count() const {
        size_t n = 0;
        for (const auto& e : std::filesystem::directory_iterator(dir_)) n += !e.path().empty();
        return n;
    }

private:
    std::filesystem::path dir_;
};

}  // namespace tarvix::testing
