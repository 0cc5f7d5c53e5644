#include "script_folder.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

namespace tarvix {

std::vector<std::unique_ptr<CScript>> LoadScriptFiles(const std::string& scriptFolder,
                                                      const std::vector<std::string>& fileNames,
                                                      Edition edition, unsigned threads) {
    std::vector<std::unique_ptr<CScript>> scripts(fileNames.size());
    if (threads == 0) threads = std::min(8u, std::max(1u, std::thread::hardware_concurrency()));
    // A few files are not worth a thread.
    threads = static_cast<unsigned>(std::min<size_t>(threads, (fileNames.size() + 63) / 64));

    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < fileNames.size(); i = next++) {
            auto script = std::make_unique<CScript>(edition);
            script->Load(scriptFolder, fileNames[i]);
            scripts[i] = std::move(script);
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // no more threads to be had: the ones there are do the rest
        }
    }
    work();
    for (std::thread& helper : helpers) helper.join();
    return scripts;
}

}  // namespace tarvix
